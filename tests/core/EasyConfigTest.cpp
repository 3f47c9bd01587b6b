// Typed configuration variables and their registry: declaration, text forms, notification and loading.
#include "config/EasyConfig.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <map>
#include <vector>

namespace {

// A registry whose store is a map, so that loading can be observed without files.
class TMapConfig : public TEasyConfig {
  public:
    std::map<std::string, std::string> Stored;
    std::vector<std::string> Heard;
    std::vector<bool> LoadingWhenHeard;

    TMapConfig() {
        OnChange = [this](TConfigVar& variable) {
            Heard.push_back(variable.FullName());
            LoadingWhenHeard.push_back(Loading);
        };
    }
    void LoadVariable(TConfigVar& variable) override {
        auto found = Stored.find(variable.FullName());
        if (found == Stored.end())
            variable.Reset();
        else
            variable.SetAsText(found->second);
    }
    void Save(bool) override {}
};

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EConfigError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(ConfigDeclaration, ReportsProgrammingErrorsWithFixedMessagesAndRegistersNothing) {
    TMapConfig config;
    TConfigVarBool::Create(&config, "system", "stay_on_top", false);
    EXPECT_EQ(MessageOf([] { TConfigVarInt::Create(nullptr, "a", "b", 1); }),
              "Config variable must have an owner");
    EXPECT_EQ(MessageOf([&] { TConfigVarInt::Create(&config, "", "b", 1); }),
              "Config variable must have a valid namespace and name");
    EXPECT_EQ(MessageOf([&] { TConfigVarStr::Create(&config, "a", "", ""); }),
              "Config variable must have a valid namespace and name");
    EXPECT_EQ(MessageOf([&] { TConfigVarBool::Create(&config, "system", "stay_on_top", true); }),
              "A config variable named \"system.stay_on_top\" already exists");
    EXPECT_EQ(MessageOf([&] { TConfigVarInt::Get(&config, "system", "stay_on_top", 1); }),
              "Config variable \"system.stay_on_top\", with type integer, already exists as boolean");
    EXPECT_EQ(MessageOf([&] { TConfigVarStr::Get(&config, "system", "stay_on_top", ""); }),
              "Config variable \"system.stay_on_top\", with type string, already exists as boolean");
    EXPECT_EQ(config.Count(), 1);
    EXPECT_TRUE(config.Heard.empty());
}

TEST(ConfigDeclaration, GetFindsOrCreatesByCaseSensitiveFullName) {
    TMapConfig config;
    TConfigVarInt& first = TConfigVarInt::Get(&config, "system", "update_interval_ms", 33);
    first.SetValue(50);
    TConfigVarInt& second = TConfigVarInt::Get(&config, "system", "update_interval_ms", 99);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.Value, 50) << "the second default is ignored";
    TConfigVarInt& other = TConfigVarInt::Get(&config, "System", "update_interval_ms", 7);
    EXPECT_NE(&first, &other);
    EXPECT_EQ(config.Count(), 2);
    EXPECT_EQ(config.IndexOf("System.update_interval_ms"), 1);
    EXPECT_EQ(config.IndexOf("SYSTEM.update_interval_ms"), -1);
    EXPECT_EQ(config.Item(-1), nullptr);
    EXPECT_EQ(config.Item(config.Count()), nullptr);
    EXPECT_EQ(config.Item(0), &first);
    EXPECT_EQ(config.Find("nothing.here"), nullptr);
    EXPECT_EQ(first.TypeName(), "integer");
    EXPECT_EQ(TConfigVarFloat::ClassTypeName(), "float");
}

TEST(ConfigSetters, NotifyAndMarkModifiedOnEveryCallEvenWithoutChange) {
    TMapConfig config;
    TConfigVarBool& flag = TConfigVarBool::Get(&config, "system", "stay_on_top", false);
    TConfigVarInt& number = TConfigVarInt::Get(&config, "system", "update_interval_ms", 33);
    EXPECT_FALSE(flag.Modified);
    flag.SetValue(false);
    EXPECT_TRUE(flag.Modified);
    number.SetAsText("abc");
    EXPECT_EQ(number.Value, 33);
    EXPECT_TRUE(number.Modified);
    number.Reset();
    EXPECT_EQ(config.Heard, (std::vector<std::string>{"system.stay_on_top", "system.update_interval_ms",
                                                      "system.update_interval_ms"}));
}

TEST(ConfigSetters, IntegerValuesAreHeldWithinMinAndMax) {
    TMapConfig config;
    TConfigVarInt& number = TConfigVarInt::Get(&config, "n", "x", 5);
    number.Min = 0;
    number.Max = 10;
    number.SetValue(-3);
    EXPECT_EQ(number.Value, 0);
    number.SetValue(11);
    EXPECT_EQ(number.Value, 10);
    number.SetAsText("7");
    EXPECT_EQ(number.Value, 7);
    number.SetAsText("$FF");
    EXPECT_EQ(number.Value, 7) << "text beyond a bound is refused, not clamped";
}

// Text from the settings file or the Config tab that lies outside the bounds is refused like a non-number:
// the value stays, yet the change is still announced.
TEST(ConfigTextForms, IntegerTextOutsideMinAndMaxKeepsTheValue) {
    TMapConfig config;
    TConfigVarInt& number = TConfigVarInt::Get(&config, "i", "bounded", 50);
    number.Min = 10;
    number.Max = 60000;
    const std::pair<const char*, int32_t> cases[] = {{"0", 50},      {"9", 50},        {"-5", 50},
                                                     {"10", 10},     {"60000", 60000}, {"60001", 50},
                                                     {"0xEA61", 50}, {"x", 50}};
    for (const auto& [text, expected] : cases) {
        number.SetValue(50);
        config.Heard.clear();
        number.SetAsText(text);
        EXPECT_EQ(number.Value, expected) << '"' << text << '"';
        EXPECT_EQ(config.Heard.size(), 1u) << '"' << text << '"';
    }
}

TEST(ConfigTextForms, BooleanReadsTrueOnlyFromTrueOrOne) {
    TMapConfig config;
    TConfigVarBool& flag = TConfigVarBool::Get(&config, "b", "flag", false);
    const std::pair<const char*, bool> cases[] = {
        {"TRUE", true}, {"true", true}, {"True", true},   {"1", true},      {"yes", false},
        {"0", false},   {"", false},    {" true", false}, {"true ", false}, {"11", false}};
    for (const auto& [text, expected] : cases) {
        flag.SetValue(!expected);
        flag.SetAsText(text);
        EXPECT_EQ(flag.Value, expected) << '"' << text << '"';
    }
    EXPECT_EQ(flag.AsText(), "false");
    flag.SetValue(true);
    EXPECT_EQ(flag.AsText(), "true");
}

TEST(ConfigTextForms, IntegerParsesTheIntegerRuleAndKeepsItsValueOtherwise) {
    TMapConfig config;
    TConfigVarInt& number = TConfigVarInt::Get(&config, "i", "n", 5);
    const std::pair<const char*, int32_t> cases[] = {{"0x1f", 31},      {"$1F", 31},  {" 31", 31}, {"31 ", 5},
                                                     {"2147483648", 5}, {"-12", -12}, {"", 5}};
    for (const auto& [text, expected] : cases) {
        number.SetValue(5);
        number.SetAsText(text);
        EXPECT_EQ(number.Value, expected) << '"' << text << '"';
    }
    number.SetValue(-255);
    EXPECT_EQ(number.AsText(), "-255");
    number.Hex = true;
    number.SetValue(255);
    EXPECT_EQ(number.AsText(), "0xFF");
    number.SetValue(-1);
    EXPECT_EQ(number.AsText(), "0xFFFFFFFF");
    number.SetAsText(number.AsText());
    EXPECT_EQ(number.Value, -1);
}

TEST(ConfigTextForms, FloatTextRoundTripsInFixedAndScientificForm) {
    TMapConfig config;
    TConfigVarFloat& number = TConfigVarFloat::Create(&config, "f", "x", 0);
    const std::pair<long double, const char*> forms[] = {
        {0.0L, "0"},      {1.5L, "1.5"},         {-2.25L, "-2.25"},
        {100.0L, "100"},  {0.00001L, "0.00001"}, {123456789012345678.0L, "123456789012345678"},
        {1e18L, "1e+18"}, {0.000001L, "1e-6"}};
    for (const auto& [value, text] : forms) {
        number.SetValue(value);
        EXPECT_EQ(number.AsText(), text);
        number.SetValue(42);
        number.SetAsText(text);
        EXPECT_EQ(number.Value, value) << text;
    }
    number.SetValue(1.0L / 3.0L);
    std::string third = number.AsText();
    number.SetAsText(third);
    EXPECT_EQ(number.AsText(), third);
    for (const char* bad : {"abc", "", "1.5x", "0x10", "inf", "1,5"}) {
        number.SetValue(2.5L);
        number.SetAsText(bad);
        EXPECT_EQ(number.Value, 2.5L) << '"' << bad << '"';
    }
    number.SetAsText("  -3.5E2 ");
    EXPECT_EQ(number.Value, -350.0L);
}

TEST(ConfigTextForms, FloatOutOfRangeKeepsTheValueAndEveryWrittenTextReadsBack) {
    TMapConfig config;
    TConfigVarFloat& number = TConfigVarFloat::Create(&config, "f", "x", 0);
    for (const char* beyond : {"1e5000", "-1e5000", "1e99999999999"}) {
        number.SetValue(2.5L);
        number.Modified = false;
        number.SetAsText(beyond);
        EXPECT_EQ(number.Value, 2.5L) << beyond;
        EXPECT_TRUE(number.Modified) << "the setter still runs";
    }
    const long double extremes[] = {LDBL_MAX, -LDBL_MAX, LDBL_MIN, LDBL_TRUE_MIN, LDBL_EPSILON, 1e4000L};
    for (long double value : extremes) {
        number.SetValue(value);
        const std::string text = number.AsText();
        number.SetValue(0);
        number.SetAsText(text);
        EXPECT_NE(number.Value, 0) << text << " must read back";
        EXPECT_LE(std::fabs(number.Value), LDBL_MAX) << text;
        EXPECT_EQ(number.AsText(), text) << "a text read back is written the same way";
    }
}

TEST(ConfigTextForms, FloatUsesTheLocaleDecimalSeparator) {
    TMapConfig config;
    config.DecimalSeparator = ',';
    TConfigVarFloat& number = TConfigVarFloat::Create(&config, "f", "x", 1.25L);
    EXPECT_EQ(number.AsText(), "1,25");
    number.SetAsText("2,5");
    EXPECT_EQ(number.Value, 2.5L);
    number.SetAsText("3.5");
    EXPECT_EQ(number.Value, 2.5L) << "the other separator is not a number here";
}

TEST(ConfigValueData, RawBytesMatchEachType) {
    TMapConfig config;
    TConfigVarBool& flag = TConfigVarBool::Get(&config, "v", "b", true);
    TConfigVarInt& number = TConfigVarInt::Get(&config, "v", "i", 0x12345678);
    TConfigVarStr& text = TConfigVarStr::Get(&config, "v", "s", "abc");
    TConfigVarFloat& real = TConfigVarFloat::Create(&config, "v", "f", 0.5L);
    EXPECT_EQ(flag.ValueSize(), 1);
    EXPECT_EQ(number.ValueSize(), 4);
    EXPECT_EQ(text.ValueSize(), 4);
    EXPECT_GE(real.ValueSize(), 8);
    int32_t raw = -9;
    number.SetValueData(&raw);
    EXPECT_EQ(number.Value, -9);
    text.SetValueData("hello");
    EXPECT_EQ(text.Value, "hello");
    EXPECT_STREQ(static_cast<const char*>(text.ValueData()), "hello");
    const unsigned char zero = 0;
    flag.SetValueData(&zero);
    EXPECT_FALSE(flag.Value);
    long double half = 0.25L;
    real.SetValueData(&half);
    EXPECT_EQ(real.Value, 0.25L);
}

TEST(ConfigLoading, LoadsSilentlyThenAnnouncesEveryVariableOnceInOrder) {
    TMapConfig config;
    TConfigVarBool& flag = TConfigVarBool::Get(&config, "system", "stay_on_top", false);
    TConfigVarInt& number = TConfigVarInt::Get(&config, "system", "update_interval_ms", 33);
    TConfigVarStr& text = TConfigVarStr::Get(&config, "gui", "font_main", "x");
    config.Stored["system.stay_on_top"] = "true";
    config.Stored["system.update_interval_ms"] = "0x10";
    text.SetValue("changed");
    config.Heard.clear();
    config.Load();
    EXPECT_TRUE(flag.Value);
    EXPECT_EQ(number.Value, 16);
    EXPECT_EQ(text.Value, "x") << "an absent key resets to the default";
    EXPECT_FALSE(flag.Modified);
    EXPECT_FALSE(number.Modified);
    EXPECT_EQ(config.Heard,
              (std::vector<std::string>{"system.stay_on_top", "system.update_interval_ms", "gui.font_main"}));
    for (bool loading : config.LoadingWhenHeard)
        EXPECT_FALSE(loading);
}

TEST(ConfigLoading, AutoLoadLoadsALateVariableAsAChange) {
    TMapConfig config;
    config.Stored["late.value"] = "12";
    config.AutoLoad = true;
    TConfigVarInt& late = TConfigVarInt::Get(&config, "late", "value", 1);
    EXPECT_EQ(late.Value, 12);
    EXPECT_TRUE(late.Modified);
    EXPECT_EQ(config.Heard, std::vector<std::string>{"late.value"});
}

TEST(ConfigLoading, NotifyAllCanLimitItselfToModifiedVariables) {
    TMapConfig config;
    TConfigVarInt::Get(&config, "a", "one", 1);
    TConfigVarInt& two = TConfigVarInt::Get(&config, "a", "two", 2);
    two.SetValue(3);
    config.Heard.clear();
    config.NotifyAll(true);
    EXPECT_EQ(config.Heard, std::vector<std::string>{"a.two"});
    config.OnChange = nullptr;
    config.NotifyAll(false);
    EXPECT_EQ(config.Heard.size(), 1u);
}

TEST(ConfigLoading, AListenerMaySetAnotherVariableReentrantly) {
    TMapConfig config;
    TConfigVarInt& source = TConfigVarInt::Get(&config, "r", "source", 0);
    TConfigVarInt& echo = TConfigVarInt::Get(&config, "r", "echo", 0);
    std::vector<std::string> order;
    config.OnChange = [&](TConfigVar& variable) {
        order.push_back(variable.FullName());
        if (&variable == &source) echo.SetValue(source.Value * 2);
    };
    source.SetValue(21);
    EXPECT_EQ(echo.Value, 42);
    EXPECT_EQ(order, (std::vector<std::string>{"r.source", "r.echo"}));
}

} // namespace
