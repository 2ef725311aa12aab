#pragma once
// Settings store in place of the registry: hives of keys ("Software\Tarvenic") holding named text
// values. One implementation keeps a text file per hive, one keeps everything in memory for tests.
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace platform {

enum class Hive { CurrentUser, LocalMachine };

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    virtual bool keyExists(Hive hive, const std::string& key) const = 0;
    // The value, or nothing when the key or the value is missing or cannot be read.
    virtual std::optional<std::string> readValue(Hive hive, const std::string& key,
                                                 const std::string& name) const = 0;
    // Writes a value, creating the key (and its parents) as needed; false when it cannot be stored.
    virtual bool writeValue(Hive hive, const std::string& key, const std::string& name,
                            const std::string& value) = 0;
    virtual void createKey(Hive hive, const std::string& key) = 0;
    virtual void deleteValue(Hive hive, const std::string& key, const std::string& name) = 0;
};

// Key name -> value name -> value, for one hive. Key names compare without regard to case,
// as the registry's do.
using SettingsHive = std::map<std::string, std::map<std::string, std::string>>;

// Keeps every hive in memory; writes can be made to fail for tests.
class MemorySettingsStore : public SettingsStore {
  public:
    bool keyExists(Hive hive, const std::string& key) const override;
    std::optional<std::string> readValue(Hive hive, const std::string& key,
                                         const std::string& name) const override;
    bool writeValue(Hive hive, const std::string& key, const std::string& name,
                    const std::string& value) override;
    void createKey(Hive hive, const std::string& key) override;
    void deleteValue(Hive hive, const std::string& key, const std::string& name) override;

    void setFailWrites(bool fail) { failWrites_ = fail; }
    // A value that exists but cannot be read (as a value of the wrong type would be).
    void setUnreadable(Hive hive, const std::string& key, const std::string& name);

  protected:
    SettingsHive& hiveData(Hive hive) { return hive == Hive::CurrentUser ? user_ : machine_; }
    const SettingsHive& hiveData(Hive hive) const { return hive == Hive::CurrentUser ? user_ : machine_; }

  private:
    SettingsHive user_;
    SettingsHive machine_;
    std::map<std::string, bool> unreadable_;
    bool failWrites_ = false;
};

// One text file per hive in `folder`: "current-user.reg" and "local-machine.reg". The file is
// read on every access and rewritten through a temporary file on every write, so two programs
// (the host and the set-up tool) see each other's changes.
class FileSettingsStore : public SettingsStore {
  public:
    explicit FileSettingsStore(std::string folder);

    bool keyExists(Hive hive, const std::string& key) const override;
    std::optional<std::string> readValue(Hive hive, const std::string& key,
                                         const std::string& name) const override;
    bool writeValue(Hive hive, const std::string& key, const std::string& name,
                    const std::string& value) override;
    void createKey(Hive hive, const std::string& key) override;
    void deleteValue(Hive hive, const std::string& key, const std::string& name) override;

    std::string hivePath(Hive hive) const;

  private:
    // The hive's keys and values; empty when the file does not exist yet, nothing when it exists
    // but cannot be read (a write must then not replace it with a file holding only the new value).
    std::optional<SettingsHive> load(Hive hive) const;
    bool save(Hive hive, const SettingsHive& data) const;

    std::string folder_;
};

// The store the program uses: a FileSettingsStore under configFolder() unless replaced.
SettingsStore& settingsStore();
// Replaces the program's store (tests, scripts); null restores the file-backed default.
void setSettingsStore(std::shared_ptr<SettingsStore> store);

}  // namespace platform
