// Which screen of the main panel and which page of the tab area shows. Each
// change passes through StopMotion, so detection runs only on the Home page.
#pragma once

#include <windows.h>

#include "app/ControlIds.h"

// Screens of the main panel and pages of the tab area, by their panel's id.
enum ScreenId { TabAreaScreen = TabPanelId, AboutScreen = AboutPageId, BrowserScreen = BrowserPageId };
enum PageId { HomePage = HomePageId, SoundsPage = SoundsPageId, SettingsPage = SettingsPageId };

void ShowMainPanel(bool repaint);
// Shows exactly one of the tab area, the About page and the sound browser.
void ShowScreen(int screen, bool repaint);
// Selects the page's tab (checked and locked) and shows the page.
// `keepTappedState`: the tap has already checked the tab.
void ShowTab(int page, bool keepTappedState, bool repaint);
