#include "app/Screens.h"

#include "app/AppState.h"
#include "app/Motion.h"

namespace {

void RepaintIf(bool repaint) {
  if (repaint) InvalidateRect(appState.mainWindow, NULL, TRUE);
}

}  // namespace

void ShowMainPanel(bool repaint) {
  StopMotion();
  // The main panel, once the control tree exists, becomes visible here.
  RepaintIf(repaint);
}

void ShowScreen([[maybe_unused]] int screen, bool repaint) {
  StopMotion();
  // Once the panels exist: tabPanel, aboutPage and browserPage visible for the
  // one named by `screen` and hidden for the other two; another value changes
  // no panel.
  RepaintIf(repaint);
}

void ShowTab([[maybe_unused]] int page, [[maybe_unused]] bool keepTappedState, bool repaint) {
  StopMotion();
  // Once the tabs and pages exist: the page's tab locked (and checked unless
  // `keepTappedState`), the other two unlocked and unchecked; the page shown,
  // the other two hidden; the about button only with the Settings page.
  RepaintIf(repaint);
}
