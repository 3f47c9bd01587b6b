// Typed configuration variables, their registry with one change listener, and the INI store.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class TIniText;

class TEasyConfig;
enum class TFileRead;

// Raised for programming errors in declaring a variable.
class EConfigError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TConfigVar {
  public:
    TConfigVar(const TConfigVar&) = delete;
    TConfigVar& operator=(const TConfigVar&) = delete;
    virtual ~TConfigVar() = default;

    TEasyConfig& Config;
    const std::string Namespace;
    const std::string Name;
    bool Stored = true;
    bool Modified = false;

    std::string FullName() const { return Namespace + "." + Name; }

    virtual void Changed();
    virtual int ValueSize() const = 0;
    virtual const void* ValueData() const = 0;
    virtual void SetValueData(const void* data) = 0;
    virtual std::string AsText() const = 0;
    virtual void SetAsText(const std::string& text) = 0;
    virtual std::string TypeName() const = 0;
    virtual void Reset() = 0;

  protected:
    TConfigVar(TEasyConfig& config, const std::string& nameSpace, const std::string& name);

    // Checks a declaration, builds the variable and hands it to the registry; throws EConfigError.
    template <class T, class V>
    static T& Declare(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                      V defaultValue);
    // Find-or-create of a typed class: the existing variable of that full name, or a new one.
    template <class T, class V>
    static T& FindOrDeclare(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                            V defaultValue);
};

class TConfigVarBool : public TConfigVar {
  public:
    bool Value;
    bool Default;

    static TConfigVarBool& Create(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                                  bool defaultValue);
    static TConfigVarBool& Get(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                               bool defaultValue);
    static std::string ClassTypeName() { return "boolean"; }

    void SetValue(bool value);
    int ValueSize() const override { return 1; }
    const void* ValueData() const override { return &Value; }
    void SetValueData(const void* data) override;
    std::string AsText() const override;
    void SetAsText(const std::string& text) override;
    std::string TypeName() const override { return ClassTypeName(); }
    void Reset() override { SetValue(Default); }

  protected:
    friend class TConfigVar;
    TConfigVarBool(TEasyConfig& config, const std::string& nameSpace, const std::string& name,
                   bool defaultValue);
};

class TConfigVarInt : public TConfigVar {
  public:
    int32_t Value;
    int32_t Default;
    int32_t Min = INT32_MIN;
    int32_t Max = INT32_MAX;
    bool Hex = false;

    static TConfigVarInt& Create(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                                 int32_t defaultValue);
    static TConfigVarInt& Get(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                              int32_t defaultValue);
    static std::string ClassTypeName() { return "integer"; }

    void SetValue(int32_t value);
    int ValueSize() const override { return 4; }
    const void* ValueData() const override { return &Value; }
    void SetValueData(const void* data) override;
    std::string AsText() const override;
    void SetAsText(const std::string& text) override;
    std::string TypeName() const override { return ClassTypeName(); }
    void Reset() override { SetValue(Default); }

  protected:
    friend class TConfigVar;
    TConfigVarInt(TEasyConfig& config, const std::string& nameSpace, const std::string& name,
                  int32_t defaultValue);
};

class TConfigVarFloat : public TConfigVar {
  public:
    long double Value;
    long double Default;

    static TConfigVarFloat& Create(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                                   long double defaultValue);
    static std::string ClassTypeName() { return "float"; }

    void SetValue(long double value);
    int ValueSize() const override;
    const void* ValueData() const override { return &Value; }
    void SetValueData(const void* data) override;
    std::string AsText() const override;
    void SetAsText(const std::string& text) override;
    std::string TypeName() const override { return ClassTypeName(); }
    void Reset() override { SetValue(Default); }

  protected:
    friend class TConfigVar;
    TConfigVarFloat(TEasyConfig& config, const std::string& nameSpace, const std::string& name,
                    long double defaultValue);
};

class TConfigVarStr : public TConfigVar {
  public:
    std::string Value;
    std::string Default;

    static TConfigVarStr& Create(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                                 const std::string& defaultValue);
    static TConfigVarStr& Get(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                              const std::string& defaultValue);
    static std::string ClassTypeName() { return "string"; }

    void SetValue(const std::string& value);
    int ValueSize() const override { return static_cast<int>(Value.size()) + 1; }
    const void* ValueData() const override { return Value.c_str(); }
    void SetValueData(const void* data) override;
    std::string AsText() const override { return Value; }
    void SetAsText(const std::string& text) override { SetValue(text); }
    std::string TypeName() const override { return ClassTypeName(); }
    void Reset() override { SetValue(Default); }

  protected:
    friend class TConfigVar;
    TConfigVarStr(TEasyConfig& config, const std::string& nameSpace, const std::string& name,
                  const std::string& defaultValue);
};

class TEasyConfig {
  public:
    using TChangeListener = std::function<void(TConfigVar&)>;

    TEasyConfig() = default;
    TEasyConfig(const TEasyConfig&) = delete;
    TEasyConfig& operator=(const TEasyConfig&) = delete;
    // Destroys the variables without saving; the owner saves first.
    virtual ~TEasyConfig() { Clear(); }

    bool Loading = false;
    TChangeListener OnChange;
    bool SaveModifiedOnly = true;
    bool AutoLoad = false;
    // The user's decimal separator for float texts; the platform layer sets it from the locale.
    char DecimalSeparator = '.';

    int Count() const { return static_cast<int>(Variables.size()); }
    TConfigVar* Item(int index) const;
    void Add(std::unique_ptr<TConfigVar> variable);
    void Clear() { Variables.clear(); }
    int IndexOf(const std::string& fullName) const;
    TConfigVar* Find(const std::string& fullName) const { return Item(IndexOf(fullName)); }
    void NotifyAll(bool onlyModified);

    virtual void Load();
    virtual void LoadVariable(TConfigVar& variable) = 0;
    virtual void Save(bool clearModified) = 0;

  private:
    std::vector<std::unique_ptr<TConfigVar>> Variables;
};

class TEasyConfigIni : public TEasyConfig {
  public:
    explicit TEasyConfigIni(const std::string& fileName) : FileName(fileName) {}

    const std::string FileName;

    // Reads the file once for all the variables, not once for each.
    void Load() override;
    void LoadVariable(TConfigVar& variable) override;
    // Writes the modified variables into the file, keeping every other line; a file that exists but cannot
    // be read completely is left untouched.
    void Save(bool clearModified) override;

  protected:
    // The file access, separate so that a test can make it fail part-way.
    virtual TFileRead ReadSettings(std::string& bytes) const;
    virtual bool ReplaceSettings(const std::string& bytes) const;

  private:
    void RemoveStaleTemporary() const;
    void LoadFrom(const TIniText& ini, TConfigVar& variable);
};

template <class T, class V>
T& TConfigVar::Declare(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                       V defaultValue) {
    if (!config) throw EConfigError("Config variable must have an owner");
    if (nameSpace.empty() || name.empty())
        throw EConfigError("Config variable must have a valid namespace and name");
    if (config->IndexOf(nameSpace + "." + name) >= 0)
        throw EConfigError("A config variable named \"" + nameSpace + "." + name + "\" already exists");
    std::unique_ptr<T> variable(new T(*config, nameSpace, name, defaultValue));
    T& result = *variable;
    config->Add(std::move(variable));
    return result;
}

template <class T, class V>
T& TConfigVar::FindOrDeclare(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                             V defaultValue) {
    TConfigVar* found = config ? config->Find(nameSpace + "." + name) : nullptr;
    if (!found) return Declare<T>(config, nameSpace, name, defaultValue);
    if (T* typed = dynamic_cast<T*>(found)) return *typed;
    throw EConfigError("Config variable \"" + found->FullName() + "\", with type " + T::ClassTypeName() +
                       ", already exists as " + found->TypeName());
}
