// The main window's pages by type: the one place that knows every page. Only the main window
// includes this; a page includes main_page.h.
#pragma once
#include <memory>

#include "ui/win/main_page.h"

// The page of `type`, or null while that page does not exist yet, handed `parts`. Each page
// adds its line to the switch in main_pages.cpp.
std::unique_ptr<CMainPage> CreateMainPage(MainPageType type, const PageParts& parts);
// The skin picture of a page's whole area (drawn while the page does not exist).
const char* MainPageBackground(int type);
