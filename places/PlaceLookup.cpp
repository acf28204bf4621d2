// The end of editing: find the typed place in the history, or ask the lookup
// service, then turn the globe to it and mark it.
#include "app/AppContext.h"
#include "overlay/TerraboLayer.h"
#include "places/History.h"
#include "places/LookupAnswer.h"
#include "places/LookupRequest.h"
#include "platform/HistoryStore.h"
#include "platform/HttpClient.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "world/CommandBoard.h"

namespace terrabo {
namespace {

constexpr const char* kUnableToConnect = "We are unable to connect. Please check your internet connection";

void alert(const char* message) {
    if (appContext().platform)
        appContext().platform->showAlert("Sorry", message, "OK");
}

} // namespace

std::string TerraboLayer::saveFilePath() const { return appContext().documentsDir + "/name.plist"; }

void TerraboLayer::reading() {
    HistoryStore* store = appContext().historyStore;
    if (!store) {
        placeArr = std::make_unique<std::vector<std::string>>();
        return;
    }
    StringArrayFile file = store->readStringArray(saveFilePath());
    switch (file.state) {
    case StringArrayFile::State::Array:
        placeArr = std::make_unique<std::vector<std::string>>(std::move(file.items));
        break;
    case StringArrayFile::State::Missing:
        placeArr = std::make_unique<std::vector<std::string>>();
        break;
    case StringArrayFile::State::NotAnArray:
        // Absent, not empty: nothing is found in it and nothing is written over it.
        placeArr.reset();
        break;
    }
}

void TerraboLayer::callZoom() { commandBoard().autoZoomPending = 1; }

void TerraboLayer::startAutoZoomTimer() {
    schedule("callZoom", [this] { callZoom(); }, 0.1f);
}

void TerraboLayer::evaluateAnswer(const std::string& answer) {
    const std::optional<FoundPlace> place = terrabo::evaluateAnswer(answer);
    if (!place) {
        commandBoard().spinOn = 1;
        removePlaceLabel();
        alert("Please enter a valid place");
        return;
    }
    CommandBoard& board = commandBoard();
    board.targetLat = place->latitude;
    board.targetLon = place->longitude;
    str = place->details;
    board.autoZoomSteps = 0;
    board.turnPending = 1;
    startAutoZoomTimer();
    placeFlag();
}

void TerraboLayer::textFieldDidEndEditing(TextField& field) {
    history = false;
    reading();
    if (&field != myText.get()) {
        alert("Please retry");
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

    if (placeArr) {
        if (std::optional<std::string> stored = findInHistory(*placeArr, *result1)) {
            logLine("From history ********");
            history = true;
            evaluateAnswer(*stored);
            return;
        }
    }

    if (!connected(appContext().lookupBase)) {
        commandBoard().spinOn = 1;
        removePlaceLabel();
        alert(kUnableToConnect);
        return;
    }

    logLine("From Web ********");
    const LookupRequest request = makeLookupRequest(appContext().lookupBase, *result1);
    logLine("%s", request.url.c_str());
    std::optional<std::string> body;
    if (appContext().http)
        body = appContext().http->post(request.url, request.body);
    if (!body || body->size() > kMaxAnswerBytes) {
        alert(kUnableToConnect);
        return;
    }
    const std::string answer = decodeAnswerText(*body);
    // Stored before it is evaluated, so answers that found nothing are kept too.
    if (placeArr && appContext().historyStore) {
        placeArr->push_back(*result1);
        placeArr->push_back(answer);
        appContext().historyStore->writeStringArrayAtomically(saveFilePath(), *placeArr);
    }
    evaluateAnswer(answer);
}

} // namespace terrabo
