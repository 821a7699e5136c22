// Dialog-style focus moves among the active window's enabled, visible tab-stop descendants, in
// the platform's child order: what the built-in Tab and Shift+Tab shortcuts do.
#pragma once

void FocusNext();
void FocusPrevious();
