int druxWindowPlaceholder;
