#include "app/Screens.h"

#include "app/AppState.h"
#include "app/Motion.h"
#include "ui/core/CheckBox.h"
#include "ui/core/ImageButton.h"

namespace {

void RepaintIf(bool repaint) {
  if (repaint) InvalidateRect(appState.mainWindow, NULL, TRUE);
}

void ShowIf(TouchControl* control, bool visible) {
  if (control != NULL) control->SetVisible(visible ? TRUE : FALSE);
}

}  // namespace

void ShowMainPanel(bool repaint) {
  StopMotion();
  ShowIf(appState.mainPanel, true);
  RepaintIf(repaint);
}

void ShowScreen(int screen, bool repaint) {
  StopMotion();
  if (screen == TabAreaScreen || screen == AboutScreen || screen == BrowserScreen) {
    ShowIf(appState.tabPanel, screen == TabAreaScreen);
    ShowIf(appState.aboutPage, screen == AboutScreen);
    ShowIf(appState.browserPage, screen == BrowserScreen);
  }
  RepaintIf(repaint);
}

void ShowTab(int page, bool keepTappedState, bool repaint) {
  StopMotion();
  const struct {
    int page;
    CheckBox* tab;
    ControlPanel* panel;
  } tabs[] = {
      {HomePage, appState.homeTab, appState.homePage},
      {SoundsPage, appState.soundsTab, appState.soundsPage},
      {SettingsPage, appState.settingsTab, appState.settingsPage},
  };
  if (page == HomePage || page == SoundsPage || page == SettingsPage) {
    for (const auto& entry : tabs) {
      bool selected = entry.page == page;
      // The selected tab is locked, so tapping it again does nothing.
      if (entry.tab != NULL) {
        entry.tab->SetLocked(selected ? TRUE : FALSE);
        if (!selected) entry.tab->SetChecked(FALSE);
        if (selected && !keepTappedState) entry.tab->SetChecked(TRUE);
      }
      ShowIf(entry.panel, selected);
    }
    // The about button belongs to the Settings page.
    ShowIf(appState.aboutButton, page == SettingsPage);
  }
  RepaintIf(repaint);
}
