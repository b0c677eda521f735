// Page script library.
