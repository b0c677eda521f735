// Home page functions.
