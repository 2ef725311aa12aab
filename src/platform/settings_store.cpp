#include "platform/settings_store.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/known_folders.h"
#include "platform/paths.h"

namespace platform {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Finds a key regardless of case.
template <typename Map>
auto findKey(Map& hive, const std::string& key) {
    const std::string want = lower(key);
    return std::find_if(hive.begin(), hive.end(), [&](const auto& kv) { return lower(kv.first) == want; });
}

std::string slotName(Hive hive, const std::string& key, const std::string& name) {
    return std::to_string(static_cast<int>(hive)) + "|" + lower(key) + "|" + name;
}

// Every parent of "A\B\C": "A", "A\B", "A\B\C".
void addKeyWithParents(SettingsHive& hive, const std::string& key) {
    for (std::size_t pos = 0;; ++pos) {
        pos = key.find('\\', pos);
        const std::string prefix = key.substr(0, pos);
        if (!prefix.empty() && findKey(hive, prefix) == hive.end()) hive[prefix];
        if (pos == std::string::npos) break;
    }
}

// Text form: "[key]" lines, then `"name"="value"` lines; '\\' and '"' escaped in values.
std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out.push_back(c);
    }
    return out;
}

// Reads a quoted string starting at `pos` (on the opening quote); moves `pos` past it.
std::optional<std::string> unquote(const std::string& line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\' && pos + 1 < line.size()) {
            c = line[++pos];
            if (c == 'n') c = '\n';
        }
        out.push_back(c);
    }
    return std::nullopt;
}

SettingsHive parseHive(std::istream& in) {
    SettingsHive hive;
    std::string line;
    std::string current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            hive[current];
            continue;
        }
        std::size_t pos = 0;
        auto name = unquote(line, pos);
        if (!name || current.empty() || pos >= line.size() || line[pos] != '=') continue;
        ++pos;
        if (auto value = unquote(line, pos)) hive[current][*name] = *value;
    }
    return hive;
}

}  // namespace

// ---- in memory ----

bool MemorySettingsStore::keyExists(Hive hive, const std::string& key) const {
    const auto& data = hiveData(hive);
    return findKey(data, key) != data.end();
}

std::optional<std::string> MemorySettingsStore::readValue(Hive hive, const std::string& key,
                                                          const std::string& name) const {
    if (unreadable_.count(slotName(hive, key, name))) return std::nullopt;
    const auto& data = hiveData(hive);
    auto k = findKey(data, key);
    if (k == data.end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

bool MemorySettingsStore::writeValue(Hive hive, const std::string& key, const std::string& name,
                                     const std::string& value) {
    if (failWrites_) return false;
    auto& data = hiveData(hive);
    addKeyWithParents(data, key);
    findKey(data, key)->second[name] = value;
    unreadable_.erase(slotName(hive, key, name));
    return true;
}

void MemorySettingsStore::createKey(Hive hive, const std::string& key) {
    addKeyWithParents(hiveData(hive), key);
}

void MemorySettingsStore::deleteValue(Hive hive, const std::string& key, const std::string& name) {
    auto& data = hiveData(hive);
    if (auto k = findKey(data, key); k != data.end()) k->second.erase(name);
}

void MemorySettingsStore::setUnreadable(Hive hive, const std::string& key, const std::string& name) {
    createKey(hive, key);
    unreadable_[slotName(hive, key, name)] = true;
}

// ---- file backed ----

FileSettingsStore::FileSettingsStore(std::string folder) : folder_(std::move(folder)) {}

std::string FileSettingsStore::hivePath(Hive hive) const {
    return joinPath(folder_, hive == Hive::CurrentUser ? "current-user.reg" : "local-machine.reg");
}

std::optional<SettingsHive> FileSettingsStore::load(Hive hive) const {
    const std::string path = hivePath(hive);
    if (!pathExists(path)) return SettingsHive{};
    std::ifstream in(path);
    if (!in) return std::nullopt;
    SettingsHive data = parseHive(in);
    if (in.bad()) return std::nullopt;
    return data;
}

bool FileSettingsStore::save(Hive hive, const SettingsHive& data) const {
    // The configuration folder's parents may be missing too (a fresh account has no ~/.config).
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    std::ostringstream text;
    for (const auto& [key, values] : data) {
        text << '[' << key << "]\n";
        for (const auto& [name, value] : values)
            text << '"' << escape(name) << "\"=\"" << escape(value) << "\"\n";
    }
    const std::string path = hivePath(hive);
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << text.str();
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

bool FileSettingsStore::keyExists(Hive hive, const std::string& key) const {
    const auto data = load(hive);
    return data && findKey(*data, key) != data->end();
}

std::optional<std::string> FileSettingsStore::readValue(Hive hive, const std::string& key,
                                                        const std::string& name) const {
    const auto data = load(hive);
    if (!data) return std::nullopt;
    auto k = findKey(*data, key);
    if (k == data->end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

bool FileSettingsStore::writeValue(Hive hive, const std::string& key, const std::string& name,
                                   const std::string& value) {
    auto data = load(hive);
    if (!data) return false;
    addKeyWithParents(*data, key);
    findKey(*data, key)->second[name] = value;
    return save(hive, *data);
}

void FileSettingsStore::createKey(Hive hive, const std::string& key) {
    auto data = load(hive);
    if (!data) return;
    addKeyWithParents(*data, key);
    save(hive, *data);
}

void FileSettingsStore::deleteValue(Hive hive, const std::string& key, const std::string& name) {
    auto data = load(hive);
    if (!data) return;
    if (auto k = findKey(*data, key); k != data->end()) k->second.erase(name);
    save(hive, *data);
}

// ---- the program's store ----

namespace {
std::shared_ptr<SettingsStore>& currentStore() {
    static std::shared_ptr<SettingsStore> store;
    return store;
}
}  // namespace

SettingsStore& settingsStore() {
    if (auto& store = currentStore()) return *store;
    // The default follows KOLVANE_CONFIG_DIR even when it changes while the program runs.
    static std::unique_ptr<FileSettingsStore> fileStore;
    static std::string folder;
    if (!fileStore || folder != configFolder()) {
        folder = configFolder();
        fileStore = std::make_unique<FileSettingsStore>(folder);
    }
    return *fileStore;
}

void setSettingsStore(std::shared_ptr<SettingsStore> store) {
    currentStore() = std::move(store);
}

}  // namespace platform
