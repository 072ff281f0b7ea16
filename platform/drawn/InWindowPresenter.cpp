#include "platform/drawn/InWindowPresenter.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace platform {

namespace {
// GUI thread only.
std::vector<InWindowPresenter*>& registered() {
  static std::vector<InWindowPresenter*> presenters;
  return presenters;
}
InWindowPresenter* dispatching = nullptr;
std::vector<std::function<void(InWindowPresenter*)>>& closingListeners() {
  static std::vector<std::function<void(InWindowPresenter*)>> listeners;
  return listeners;
}
}  // namespace

void onPresenterClosing(std::function<void(InWindowPresenter*)> listener) {
  closingListeners().push_back(std::move(listener));
}

InWindowPresenter* inWindowPresenter() {
  if (dispatching != nullptr) return dispatching;
  return registered().empty() ? nullptr : registered().back();
}

void registerInWindowPresenter(InWindowPresenter* presenter) {
  auto& all = registered();
  all.erase(std::remove(all.begin(), all.end(), presenter), all.end());
  all.push_back(presenter);
}

void unregisterInWindowPresenter(InWindowPresenter* presenter) {
  auto& all = registered();
  if (std::find(all.begin(), all.end(), presenter) != all.end()) {
    for (const auto& listener : closingListeners()) listener(presenter);
  }
  all.erase(std::remove(all.begin(), all.end(), presenter), all.end());
  if (dispatching == presenter) dispatching = nullptr;
}

PresenterDispatchScope::PresenterDispatchScope(InWindowPresenter* presenter) : saved_(dispatching) {
  dispatching = presenter;
}

PresenterDispatchScope::~PresenterDispatchScope() {
  // A window closed while the event ran is no longer there to return to.
  const auto& all = registered();
  dispatching = std::find(all.begin(), all.end(), saved_) != all.end() ? saved_ : nullptr;
}

}  // namespace platform
