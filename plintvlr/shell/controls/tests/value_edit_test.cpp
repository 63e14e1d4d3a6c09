// The decimal field, typed into through the test driver on the entry test
// dialog: the numeric form, the decimals, the limits and their beeps, the
// fixed-point conversions, text entry, and a user locale with a decimal comma.

#include "entry_test_dialog.h"

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>

namespace {

class ValueEditTest : public EntryDialogTest {
protected:
    void SetUp() override { Open(); }
    // Empties the field and puts the focus in it.
    void Restart()
    {
        value().SetWindowText("");
        driver.Focus(*dialog, IDC_VALUE);
    }
    ValueEdit& value() { return *dialog->value; }
};

TEST_F(ValueEditTest, TypedNumbersKeepTheirFormAndPlaces)
{
    value().SetLimits(2, false, 0, 0);
    struct Case {
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"12.345", "12.34"},  // no third place
        {"1-2", "12"},        // '-' only at the start
        {"-1.5", "-1.5"},
        {"12.34.", "1234."},  // a second '.' moves the point to the caret
        {"x1y2z", "12"},      // other characters are dropped
        {".5", ".5"},
    };
    for (const Case& c : cases) {
        Restart();
        driver.TypeKeys(c.typed);
        EXPECT_EQ(value().GetWindowText(), c.shown) << c.typed;
    }
    EXPECT_EQ(driver.BeepCount(), 0);

    value().SetDecimals(0);
    Restart();
    driver.TypeKeys("1.5.");
    EXPECT_EQ(value().GetWindowText(), "15");
    EXPECT_EQ(driver.BeepCount(), 0);
}

TEST_F(ValueEditTest, FourteenthCharacterBeepsAndIsDropped)
{
    value().SetLimits(3, false, 0, 0);
    Restart();
    driver.TypeKeys("1234567890123");
    EXPECT_EQ(value().GetWindowText(), "1234567890123");
    EXPECT_EQ(driver.BeepCount(), 0);
    driver.TypeKeys("4");
    EXPECT_EQ(value().GetWindowText(), "1234567890123");
    EXPECT_EQ(driver.BeepCount(), 1);
    driver.PressKey(VK_BACK);
    EXPECT_EQ(value().GetWindowText(), "123456789012");
    EXPECT_EQ(driver.BeepCount(), 1);
}

TEST_F(ValueEditTest, ValuesBeyondTheLimitsAreReplacedWithABeep)
{
    value().SetLimits(0, true, 0, 1);
    Restart();
    driver.TypeKeys("5");
    EXPECT_EQ(value().GetWindowText(), "1");
    EXPECT_EQ(driver.BeepCount(), 1);

    // Leaving an empty field changes nothing and does not beep.
    Restart();
    driver.Focus(*dialog, IDC_OTHER);
    EXPECT_EQ(value().GetWindowText(), "");
    EXPECT_EQ(driver.BeepCount(), 1);

    // Below the minimum: a whole positive number on its way up is left to
    // grow, a negative or fractional one is replaced at once.
    value().SetLimits(1, true, 10, 500);
    Restart();
    driver.TypeKeys("2");
    EXPECT_EQ(value().GetWindowText(), "2");
    EXPECT_EQ(driver.BeepCount(), 1);
    driver.TypeKeys("0.");
    EXPECT_EQ(value().GetWindowText(), "20.");
    Restart();
    driver.TypeKeys("2.");
    EXPECT_EQ(value().GetWindowText(), "10.0");
    EXPECT_EQ(driver.BeepCount(), 2);

    // Leaving the field brings the value within the limits with a beep, and
    // writes it with its places.
    Restart();
    driver.TypeKeys("3");
    driver.Focus(*dialog, IDC_OTHER);
    EXPECT_EQ(value().GetWindowText(), "10.0");
    EXPECT_EQ(driver.BeepCount(), 3);
    driver.Type(*dialog, IDC_VALUE, "");
    value().SetWindowText("42");
    driver.Focus(*dialog, IDC_OTHER);
    EXPECT_EQ(value().GetWindowText(), "42.0");
    EXPECT_EQ(driver.BeepCount(), 3);
}

TEST_F(ValueEditTest, FixedPointValuesKeepTheirIntegerWhenThePlacesChange)
{
    value().SetLimits(2, false, 0, 0);
    value().SetScaledValue(1234);
    EXPECT_EQ(value().GetWindowText(), "12.34");
    long double scaled = 0;
    value().GetScaledValue(scaled);
    EXPECT_NEAR(static_cast<double>(scaled), 1234.0, 1e-9);
    value().SetDecimals(0);
    EXPECT_EQ(value().GetWindowText(), "1234");
    value().SetDecimals(3);
    EXPECT_EQ(value().GetWindowText(), "1.234");

    value().SetValue(-0.5L);
    EXPECT_EQ(value().GetWindowText(), "-0.500");
    EXPECT_TRUE(value().IsNegative());
    EXPECT_EQ(value().GetDecimalPointPos(), 2);
    value().SetInteger(-17);
    EXPECT_EQ(value().GetText(), "-17");
    EXPECT_EQ(value().GetDecimalPointPos(), -1);

    // The limits scale with the places too.
    value().SetLimits(1, true, 0, 100);  // 0.0 .. 100.0
    value().SetDecimals(2);              // 0.00 .. 10.00
    value().SetWindowText("50");
    EXPECT_TRUE(value().Validate());
    EXPECT_EQ(value().GetWindowText(), "10.00");
}

TEST_F(ValueEditTest, TextEntryTakesAnyCharacterUpToTheLimitAndIsNotClamped)
{
    value().SetLimits(0, true, 0, 1);
    value().mode = ValueEdit::kTextMode;
    value().LimitText(5);
    Restart();
    driver.TypeKeys("a.-9x");
    EXPECT_EQ(value().GetWindowText(), "a.-9x");
    EXPECT_EQ(driver.BeepCount(), 0);
    driver.TypeKeys("y");
    EXPECT_EQ(value().GetWindowText(), "a.-9x");
    EXPECT_EQ(driver.BeepCount(), 1);
    // A selection is replaced even at the limit.
    value().SetSelection(0, 2);
    driver.TypeKeys("Z");
    EXPECT_EQ(value().GetWindowText(), "Z-9x");
    EXPECT_EQ(driver.BeepCount(), 1);
    driver.Focus(*dialog, IDC_OTHER);
    EXPECT_EQ(value().GetWindowText(), "Z-9x");
    EXPECT_FALSE(value().Validate());
    EXPECT_EQ(driver.BeepCount(), 1);
}

TEST_F(ValueEditTest, AFieldOfItsOwnTakes32CharactersWhateverItWasGiven)
{
    auto* own = new ValueEdit(dialog.get(), 120, "7", 10, 200, 80, 20, 5);
    ASSERT_TRUE(own->Create());
    EXPECT_EQ(own->GetLimitText(), ValueEdit::kTextLimit - 1);
    own->mode = ValueEdit::kTextMode;
    own->SetWindowText("");
    driver.Type(*dialog, 120, std::string(40, 'w'));
    EXPECT_EQ(own->GetText(), std::string(32, 'w'));
    EXPECT_EQ(driver.BeepCount(), 8);
}

// A German locale compiled for the test, as a user's might be set.
class CommaLocale {
public:
    CommaLocale()
    {
        if (!dir_.isValid())
            return;
        const int built = QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8",
                                                          dir_.filePath("de_DE.UTF-8")});
        if (built != 0)
            return;
        ::setenv("LOCPATH", dir_.path().toLocal8Bit().constData(), 1);
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, "C");
        ::unsetenv("LOCPATH");
        QLocale::setDefault(QLocale::c());
    }
    bool Active() const { return active_; }

private:
    QTemporaryDir dir_;
    bool active_ = false;
};

TEST_F(ValueEditTest, AUserLocaleWithADecimalCommaChangesNothing)
{
    CommaLocale locale;
    if (!locale.Active())
        GTEST_SKIP() << "no German locale can be made here";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");  // the locale is in force

    value().SetLimits(2, true, -100, 100);
    Restart();
    driver.TypeKeys("12.345");
    EXPECT_EQ(value().GetWindowText(), "12.34");
    EXPECT_NEAR(static_cast<double>(value().GetValue()), 12.34, 1e-12);
    Restart();
    driver.TypeKeys("1,5");
    EXPECT_EQ(value().GetWindowText(), "15");
    driver.TypeKeys("0.");
    EXPECT_EQ(value().GetWindowText(), "100.00");
    value().SetScaledValue(-1234);
    EXPECT_EQ(value().GetWindowText(), "-12.34");
    value().SetDecimals(0);
    EXPECT_EQ(value().GetWindowText(), "-1234");
}

}  // namespace
