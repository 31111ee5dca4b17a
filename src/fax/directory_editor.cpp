// The directory server dialog's editing (see directory_editor.h).
#include "fax/directory_editor.h"

#include <limits>
#include <string>

namespace nvx::fax::directory {

namespace {

WString Number(uint32_t value) { return WFromAscii(std::to_string(value).c_str()); }

}  // namespace

EntryTexts TextsOf(const Server& s) {
    EntryTexts t;
    t.address = s.address;
    t.name = s.name;
    t.domain = s.domain;
    t.logonName = s.logonName;
    t.searchBase = s.searchBase;
    t.port = Number(s.port);
    t.timeout = Number(s.timeout);
    t.maxResults = Number(s.maxResults);
    t.attributes = s.attributes;
    t.auth = s.auth;
    t.share = s.share;
    t.ssl = s.ssl;
    return t;
}

void TakeTexts(const EntryTexts& t, Server* s) {
    s->address = t.address;
    s->name = t.name;
    s->domain = t.domain;
    s->logonName = t.logonName;
    s->searchBase = t.searchBase;
    s->port = NumberOf(t.port);
    s->timeout = NumberOf(t.timeout);
    s->maxResults = NumberOf(t.maxResults);
    s->attributes = t.attributes;
    s->auth = t.auth;
    s->share = t.share ? 1 : 0;
    s->ssl = t.ssl ? 1 : 0;
}

uint32_t NumberOf(WStringView text) {
    if (text.empty()) return 0;
    uint64_t value = 0;
    for (WCHAR c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
    }
    return static_cast<uint32_t>(value);
}

size_t DigitsOf(uint32_t maximum) {
    size_t digits = 1;
    while (maximum >= 10) {
        maximum /= 10;
        ++digits;
    }
    return digits;
}

WString ShownPassword(const device::PasswordCipher& cipher, const Server& server) {
    std::optional<std::string> plain = Password(cipher, server);
    if (!plain || plain->empty()) return {};
    WString shown(plain->size(), 0);
    const int n = MultiByteToWideChar(1252, 0, plain->data(), static_cast<int>(plain->size()), shown.data(),
                                      static_cast<int>(shown.size()));
    SecureZeroMemory(plain->data(), plain->size());
    shown.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return shown;
}

Editor::Editor(std::vector<Server> list, const Limits& limits) : list_(std::move(list)), limits_(limits) {
    if (list_.size() > kMaxServers) list_.resize(kMaxServers);
    if (!list_.empty()) current_ = 0;
}

Check Editor::CheckCurrent() const {
    if (!current_) return {};
    return CheckServer(list_, *current_, limits_);
}

Check Editor::Select(size_t index) {
    if (index >= list_.size() || (current_ && *current_ == index)) return {};
    Check c = CheckCurrent();
    if (c.problem == Problem::None) current_ = index;
    return c;
}

Editor::AddOutcome Editor::Add(Check* check) {
    *check = {};
    if (!CanAdd()) return AddOutcome::Full;
    *check = CheckCurrent();
    if (check->problem != Problem::None) return AddOutcome::CurrentRefused;
    list_.push_back(NewServer(limits_));
    current_ = list_.size() - 1;
    return AddOutcome::Added;
}

bool Editor::Remove() {
    if (!current_ || !RemoveServer(&list_, *current_)) return false;
    if (list_.empty()) current_.reset();
    else if (*current_ >= list_.size()) current_ = list_.size() - 1;
    return true;
}

bool Editor::Move(bool up) {
    if (!current_ || !MoveServer(&list_, *current_, up)) return false;
    current_ = up ? *current_ - 1 : *current_ + 1;
    return true;
}

Check Editor::Finish() {
    Check c = CheckCurrent();
    if (c.problem != Problem::None) return c;
    for (size_t i = 0; i < list_.size(); ++i) {
        c = CheckServer(list_, i, limits_);
        if (c.problem != Problem::None) {
            current_ = i;
            return c;
        }
    }
    return {};
}

}  // namespace nvx::fax::directory
