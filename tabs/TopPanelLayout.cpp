// The top panel and body layout of the tabs that have a row of controls above a list or a tree.
#include "tabs/TopPanelLayout.h"

#include <algorithm>

TTopPanelLayout::TTopPanelLayout(TNvTabSheet& page) : TopPanel(page.MakeChild<TNvPanel>()), sheet(page) {
    sheet.OnResize = [this](TNvPanel&) { Layout(); };
}

TTopPanelLayout::~TTopPanelLayout() {
    sheet.OnResize = nullptr;
}

void TTopPanelLayout::Layout() {
    if (!sheet.Handle()) return;
    RECT client = sheet.ClientRect();
    const int panelHeight = sheet.Scaled(PanelHeight), left = sheet.Scaled(nextLeft);
    TopPanel.SetBounds(0, 0, client.right, panelHeight);
    if (stretched)
        stretched->SetBounds(left, sheet.Scaled(Top),
                             std::max(0, static_cast<int>(client.right) - left - sheet.Scaled(Margin)),
                             sheet.Scaled(stretchedHeight));
    if (Body)
        Body->SetBounds(0, panelHeight, client.right,
                        std::max(0, static_cast<int>(client.bottom) - panelHeight));
}
