#include "ui/dialog.h"

#include <algorithm>
#include <utility>

#include "ui/prompts.h"

namespace ui {

namespace {

std::vector<Dialog*>& registry() {
    static std::vector<Dialog*> dialogs;
    return dialogs;
}

std::vector<DialogObserver*>& globalObservers() {
    static std::vector<DialogObserver*> observers;
    return observers;
}

bool isButtonLike(ControlKind k) {
    return k == ControlKind::Button || k == ControlKind::Radio || k == ControlKind::CheckBox;
}

}  // namespace

Dialog::Dialog(DialogTemplate tmpl)
    : tmpl_(std::move(tmpl)), caption_(tmpl_.caption), windowRect_(tmpl_.rect) {
    buildControls();
}

Dialog::~Dialog() {
    if (created_) destroy();
}

void Dialog::buildControls() {
    controls_.clear();
    index_.clear();
    for (const auto& t : tmpl_.controls) {
        Control c;
        c.tmpl = t;
        c.text = t.text;
        c.enabled = (t.style & kStyleDisabled) == 0;
        c.visible = (t.style & kStyleHidden) == 0;
        index_[t.id] = controls_.size();
        controls_.push_back(std::move(c));
    }
}

// ---- life ----

void Dialog::create() {
    if (created_) return;
    buildControls();
    created_ = true;
    ended_ = false;
    endCode_ = 0;
    registry().push_back(this);
    onInitDialog();
    shown_ = true;
    // Observers may come and go while they are told (a backend observes the dialogs it shows).
    for (auto* o : std::vector(globalObservers())) o->created(*this);
    for (auto* o : std::vector(observers_)) o->created(*this);
}

void Dialog::destroy() {
    if (!created_) return;
    onDestroy();
    for (auto* o : std::vector(observers_)) o->destroyed(*this);
    for (auto* o : std::vector(globalObservers())) o->destroyed(*this);
    auto& r = registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
    created_ = false;
    shown_ = false;
}

int Dialog::runModal() {
    modal_ = true;
    create();
    const int code = prompts().runModal(*this);
    destroy();
    modal_ = false;
    return code;
}

void Dialog::endDialog(int code) {
    ended_ = true;
    endCode_ = code;
    if (!modal_) shown_ = false;
    // A window backend ends its modal loop or hides the window.
    notifyChanged(0);
}

void Dialog::showWindow(bool show) {
    shown_ = show;
    notifyChanged(0);
}

void Dialog::bringToFront() {
    if (!created_) return;
    if (!shown_) showWindow(true);
    for (auto* o : std::vector(observers_)) o->broughtToFront(*this);
}

void Dialog::setCaption(const std::string& caption) {
    caption_ = caption;
    notifyChanged(0);
}

void Dialog::moveWindow(const Rect& r) {
    windowRect_ = r;
    notifyChanged(0);
}

// ---- controls ----

const Control& Dialog::control(int id) const {
    auto it = index_.find(id);
    if (it == index_.end()) throw UiError("dialog \"" + caption_ + "\" has no control " + std::to_string(id));
    return controls_[it->second];
}

Control& Dialog::mutableControl(int id) {
    return const_cast<Control&>(std::as_const(*this).control(id));
}

std::vector<int> Dialog::controlIds() const {
    std::vector<int> ids;
    for (const auto& c : controls_) ids.push_back(c.id());
    return ids;
}

void Dialog::notifyChanged(int id) {
    for (auto* o : std::vector(observers_)) o->changed(*this, id);
}

void Dialog::setText(int id, const std::string& text) {
    mutableControl(id).text = text;
    notifyChanged(id);
}
std::string Dialog::text(int id) const {
    return control(id).text;
}

void Dialog::enable(int id, bool enabled) {
    mutableControl(id).enabled = enabled;
    notifyChanged(id);
}
bool Dialog::isEnabled(int id) const {
    return control(id).enabled;
}

void Dialog::show(int id, bool visible) {
    mutableControl(id).visible = visible;
    notifyChanged(id);
}
bool Dialog::isVisible(int id) const {
    return control(id).visible;
}

void Dialog::setCheck(int id, bool checked) {
    mutableControl(id).checked = checked;
    notifyChanged(id);
}
bool Dialog::isChecked(int id) const {
    return control(id).checked;
}

void Dialog::clearItems(int id) {
    auto& c = mutableControl(id);
    c.items.clear();
    c.itemData.clear();
    c.selection = -1;
    notifyChanged(id);
}

int Dialog::addItem(int id, const std::string& text) {
    auto& c = mutableControl(id);
    std::size_t at = c.items.size();
    if (c.tmpl.style & kStyleSorted) {
        at = std::upper_bound(c.items.begin(), c.items.end(), text) - c.items.begin();
    }
    c.items.insert(c.items.begin() + at, text);
    c.itemData.insert(c.itemData.begin() + at, 0);
    if (c.selection >= static_cast<int>(at)) ++c.selection;
    notifyChanged(id);
    return static_cast<int>(at);
}

int Dialog::itemCount(int id) const {
    return static_cast<int>(control(id).items.size());
}

std::string Dialog::itemText(int id, int index) const {
    const auto& c = control(id);
    if (index < 0 || index >= static_cast<int>(c.items.size())) return {};
    return c.items[index];
}

void Dialog::setItemData(int id, int index, long data) {
    auto& c = mutableControl(id);
    if (index >= 0 && index < static_cast<int>(c.itemData.size())) c.itemData[index] = data;
}

long Dialog::itemData(int id, int index) const {
    const auto& c = control(id);
    if (index < 0 || index >= static_cast<int>(c.itemData.size())) return 0;
    return c.itemData[index];
}

void Dialog::deleteItem(int id, int index) {
    auto& c = mutableControl(id);
    if (index < 0 || index >= static_cast<int>(c.items.size())) return;
    c.items.erase(c.items.begin() + index);
    c.itemData.erase(c.itemData.begin() + index);
    if (c.selection == index) {
        c.selection = -1;
    } else if (c.selection > index) {
        --c.selection;
    }
    notifyChanged(id);
}

int Dialog::findItemExact(int id, const std::string& text) const {
    const auto& items = control(id).items;
    auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void Dialog::setSelection(int id, int index) {
    auto& c = mutableControl(id);
    c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
    if (c.kind() == ControlKind::ComboBox) c.text = c.selection >= 0 ? c.items[c.selection] : std::string();
    notifyChanged(id);
}

int Dialog::selection(int id) const {
    return control(id).selection;
}

void Dialog::setRange(int id, int min, int max) {
    auto& c = mutableControl(id);
    c.rangeMin = min;
    c.rangeMax = max;
    c.position = std::clamp(c.position, std::min(min, max), std::max(min, max));
    notifyChanged(id);
}

void Dialog::setPosition(int id, int position) {
    auto& c = mutableControl(id);
    c.position = std::clamp(position, std::min(c.rangeMin, c.rangeMax), std::max(c.rangeMin, c.rangeMax));
    notifyChanged(id);
}

int Dialog::position(int id) const {
    return control(id).position;
}
int Dialog::rangeMin(int id) const {
    return control(id).rangeMin;
}
int Dialog::rangeMax(int id) const {
    return control(id).rangeMax;
}

// ---- custom widgets and messages ----

CustomWidget& Dialog::attachWidget(int id, std::unique_ptr<CustomWidget> widget) {
    if (!widget) throw UiError("dialog \"" + caption_ + "\": no widget given for " + std::to_string(id));
    if (!hasControl(id) || control(id).kind() != ControlKind::Custom)
        throw UiError("dialog \"" + caption_ + "\" has no custom control " + std::to_string(id));
    widget->owner_ = this;
    widget->controlId_ = id;
    auto& slot = widgets_[id];
    slot = std::move(widget);
    notifyChanged(id);
    return *slot;
}

CustomWidget* Dialog::widget(int id) const {
    auto it = widgets_.find(id);
    return it == widgets_.end() ? nullptr : it->second.get();
}

bool Dialog::sendMessage(int message, std::intptr_t wparam, std::intptr_t lparam) {
    auto it = messageHandlers_.find(message);
    if (it == messageHandlers_.end() || !it->second) return false;
    MessageHandler h = it->second;  // the handler may rebind handlers
    h(wparam, lparam);
    return true;
}

bool CustomWidget::acceptsInput() const {
    return owner_ == nullptr || owner_->canAct(controlId_);
}

bool CustomWidget::notifyOwner(int message, std::intptr_t wparam, std::intptr_t lparam) {
    return owner_ != nullptr && owner_->sendMessage(message, wparam, lparam);
}

void CustomWidget::changed() {
    if (owner_ != nullptr) owner_->notifyChanged(controlId_);
}

void Dialog::removeObserver(DialogObserver* o) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

// ---- a person's actions ----

bool Dialog::canAct(int id) const {
    if (!created_ || !hasControl(id)) return false;
    const auto& c = control(id);
    return c.enabled && c.visible;
}

void Dialog::fire(const std::map<int, Handler>& handlers, int id) {
    if (auto it = handlers.find(id); it != handlers.end() && it->second) {
        Handler h = it->second;  // the handler may rebind or destroy handlers
        h();
    }
}

bool Dialog::userType(int id, const std::string& text) {
    if (!canAct(id)) return false;
    auto& c = mutableControl(id);
    if (c.kind() != ControlKind::Edit && c.kind() != ControlKind::ComboBox) return false;
    if (c.tmpl.style & kStyleReadOnly) return false;
    c.text = text;
    notifyChanged(id);
    fire(editHandlers_, id);
    return true;
}

void Dialog::checkRadio(int id) {
    // A radio group runs from a control with the group style (or the first control) to the
    // next control with the group style; the auto radio button unchecks the others in it.
    const std::size_t at = index_.at(id);
    std::size_t first = at;
    while (first > 0 && !(controls_[first].tmpl.style & kStyleGroup) &&
           controls_[first - 1].kind() == ControlKind::Radio)
        --first;
    for (std::size_t i = first; i < controls_.size(); ++i) {
        if (i > first &&
            ((controls_[i].tmpl.style & kStyleGroup) || controls_[i].kind() != ControlKind::Radio))
            break;
        controls_[i].checked = (i == at);
        notifyChanged(controls_[i].id());
    }
}

bool Dialog::userClick(int id) {
    if (!canAct(id)) return false;
    auto& c = mutableControl(id);
    if (!isButtonLike(c.kind())) return false;
    if (c.kind() == ControlKind::CheckBox) {
        c.checked = !c.checked;
        notifyChanged(id);
    } else if (c.kind() == ControlKind::Radio) {
        checkRadio(id);
    }
    if (clickHandlers_.count(id)) {
        fire(clickHandlers_, id);
    } else if (id == kIdOk) {
        onOk();
    } else if (id == kIdCancel) {
        onCancel();
    }
    return true;
}

bool Dialog::userChoose(int id, int index) {
    if (!canAct(id)) return false;
    auto& c = mutableControl(id);
    if (!c.hasItems() || index < 0 || index >= static_cast<int>(c.items.size())) return false;
    setSelection(id, index);
    fire(selectionHandlers_, id);
    return true;
}

bool Dialog::userDoubleClick(int id, int index) {
    if (!userChoose(id, index)) return false;
    fire(doubleClickHandlers_, id);
    return true;
}

bool Dialog::userSlide(int id, int position, int code) {
    if (!canAct(id) || control(id).kind() != ControlKind::Slider) return false;
    setPosition(id, position);
    if (auto it = scrollHandlers_.find(id); it != scrollHandlers_.end() && it->second) {
        ScrollHandler h = it->second;
        h(code, control(id).position);
    }
    return true;
}

void Dialog::userPressEnter() {
    for (const auto& c : controls_) {
        if ((c.tmpl.style & kStyleDefault) && c.enabled && c.visible) {
            userClick(c.id());
            return;
        }
    }
    if (hasControl(kIdOk)) {
        userClick(kIdOk);
    } else {
        onOk();
    }
}

void Dialog::userPressEscape() {
    if (clickHandlers_.count(kIdCancel) && canAct(kIdCancel)) {
        fire(clickHandlers_, kIdCancel);
    } else {
        onCancel();
    }
}

void Dialog::userClose() {
    onClose();
}

// ---- registry ----

std::vector<Dialog*> openDialogs() {
    return registry();
}

Dialog* findDialog(const std::string& caption) {
    const auto& r = registry();
    for (auto it = r.rbegin(); it != r.rend(); ++it) {
        if ((*it)->windowText() == caption) return *it;
    }
    return nullptr;
}

Dialog* newestDialog() {
    return registry().empty() ? nullptr : registry().back();
}

void addGlobalDialogObserver(DialogObserver* o) {
    globalObservers().push_back(o);
}

void removeGlobalDialogObserver(DialogObserver* o) {
    auto& g = globalObservers();
    g.erase(std::remove(g.begin(), g.end(), o), g.end());
}

}  // namespace ui
