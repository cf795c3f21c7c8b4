# A pre-install script that says what it checks and then refuses.
print("checking the target")
raise ValueError('this package refuses to install')
