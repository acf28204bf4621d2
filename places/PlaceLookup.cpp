// The end of editing: take the typed text and find the place it names.
#include "app/AppContext.h"
#include "overlay/TerraboLayer.h"
#include "platform/Platform.h"
#include "world/CommandBoard.h"

namespace terrabo {

void TerraboLayer::textFieldDidEndEditing(TextField& field) {
    history = false;
    reading();
    if (&field != myText.get()) {
        if (appContext().platform)
            appContext().platform->showAlert("Sorry", "Please retry", "OK");
        return;
    }
    myText->endEditing(true);
    myText->removeFromSuperview();
    typing = true;
    result1 = field.text();
    arr->push_back(*result1);
    if (result1->empty()) {
        commandBoard().spinOn = 1;
        removePlaceLabel();
        return;
    }
    // The history and the lookup service answer here once they exist.
}

} // namespace terrabo
