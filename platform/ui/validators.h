#pragma once
// Validators check what is typed into an edit control. IsValidInput judges
// a text while it is typed (a character that would make it invalid is
// refused); IsValid judges a finished text (when the edit loses the focus or
// its dialog closes), and Error tells the user what is wrong.
//
// TFilterValidator accepts the characters of a set written as single
// characters and ranges: "0-9", "0-7", "0-9a-fA-F", "A-Z_". A '-' first or
// last stands for itself; '\' takes the next character literally.

#include <bitset>
#include <string>

class TWindow;

class TCharSet {
public:
    TCharSet() = default;
    explicit TCharSet(const char* pattern);
    bool Has(unsigned char c) const { return chars_[c]; }
    void Add(unsigned char c) { chars_.set(c); }

private:
    std::bitset<256> chars_;
};

class TValidator {
public:
    TValidator() = default;
    virtual ~TValidator() = default;
    // Shows what is wrong; `owner` is the edit that holds the text.
    virtual void Error(TWindow* owner);
    // May the text stand while it is being typed? A validator may complete
    // the text in place unless `suppressFill` is set.
    virtual bool IsValidInput(char* text, bool suppressFill);
    // Is the finished text valid?
    virtual bool IsValid(const char* text);
    // IsValid, with Error when it fails.
    bool Valid(const char* text, TWindow* owner = nullptr);
};

class TFilterValidator : public TValidator {
public:
    explicit TFilterValidator(const char* validChars);
    explicit TFilterValidator(const TCharSet& validChars);

    void Error(TWindow* owner) override;
    bool IsValidInput(char* text, bool suppressFill) override;
    bool IsValid(const char* text) override;

protected:
    TCharSet ValidChars;
};
