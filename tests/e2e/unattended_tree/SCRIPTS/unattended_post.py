# Post-install script of the unattended tests: asks two questions that nobody
# can answer, prints the answers, then fails.
import sys

if sys.argv[1] == "-install":
    print(str(message_box("Go on?", "Question", 4)))
    print(str(message_box("Really?", "Question", 260)))
    raise RuntimeError('the post-install script gives up')
