int druxWidgetPlaceholder;
