int druxRuntimePlaceholder;
