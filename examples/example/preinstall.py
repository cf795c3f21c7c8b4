print("preparing example")
