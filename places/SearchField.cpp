// The search field: opened by the search button, closed by the return key or a
// touch on the scene; the end of editing hands the text to the lookup.
#include "app/AppContext.h"
#include "engine/Menu.h"
#include "overlay/TerraboLayer.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "world/CommandBoard.h"

namespace terrabo {
namespace {
constexpr Rect kSearchFieldFrame{110.0f, 16.0f, 170.0f, 40.0f};
} // namespace

void TerraboLayer::serAxn() {
    if (!typing)
        return;
    specifyStartLevel();
    typing = false;
}

void TerraboLayer::specifyStartLevel() {
    logLine("text");
    removePlaceLabel();
    hideFlag();
    commandBoard().spinOn = 0;
    commandBoard().camResetPending = 1;
    AppContext& app = appContext();
    if (!app.platform || !app.window)
        return;
    myText = app.platform->createTextField(kSearchFieldFrame);
    myText->setDelegate(this);
    myText->setPlaceholder("Type your search here");
    myText->setTextColor({0.0f, 0.0f, 0.0f, 1.0f});
    app.window->addSubview(*myText);
    myText->becomeFirstResponder();
}

bool TerraboLayer::textFieldShouldReturn(TextField& field) {
    logLine("textFieldShouldReturn");
    logLine("textFieldShouldReturn%s", field.description().c_str());
    if (myText)
        myText->resignFirstResponder();
    return true;
}

void TerraboLayer::closeSearchField() {
    if (!myText)
        return;
    // Giving up the focus ends an edit in progress, which runs the lookup first.
    myText->resignFirstResponder();
    if (myText)
        myText->endEditing(true);
    if (myText)
        myText->removeFromSuperview();
}

} // namespace terrabo
