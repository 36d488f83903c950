# The log in the working folder, so that the warning names it as given.
cp "$CORPUS"/log/test_H2.log .
