// The program's own small pattern matcher: a pattern compiles into a flat chain of segments, each matched
// greedily once per attempt without backtracking; a failed attempt restarts one position further on.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TRegExSegmentBuilder;

// Compilation errors (and a segment asked to match without contents) raise std::runtime_error with a
// message that starts with "RegExSegment: ".

class TRegExSegment {
  public:
    static constexpr int32_t Unbounded = 2147483647;

    explicit TRegExSegment(TRegExSegmentBuilder& builder) : Builder(builder) {}
    virtual ~TRegExSegment() = default;
    TRegExSegment(const TRegExSegment&) = delete;
    TRegExSegment& operator=(const TRegExSegment&) = delete;

    // The position just past what the segment matched at position, or null. A zero byte ends the subject.
    virtual const char* MatchAt(const char* position) = 0;

    TRegExSegmentBuilder& Builder;
    int32_t Index = 0;
    TRegExSegment* Prev = nullptr;
    TRegExSegment* Next = nullptr;
    int32_t MinCount = 1;
    int32_t MaxCount = 1;
    bool AnchorStart = false;
    bool AnchorEnd = false;
    bool GroupOpen = false;
    bool GroupClose = false;
    // Offsets of the first and last matched character in the current attempt; -1 before it is tried.
    int32_t MatchStart = -1;
    int32_t MatchEnd = -1;
};

using TRegExCharSet = std::bitset<256>;

// A literal text or a set of bytes, with repetition bounds (a literal of several characters ignores them).
class TRegExSegmentDuo : public TRegExSegment {
  public:
    explicit TRegExSegmentDuo(TRegExSegmentBuilder& builder);
    const char* MatchAt(const char* position) override;

    std::string Text;
    TRegExCharSet CharSet;

  private:
    bool SearchesForward() const { return Index == 0 && !AnchorStart; }
    const char* MatchSingle(const char* position) const;
    const char* MatchLiteral(const char* position);
    const char* MatchSet(const char* position);
};

// The compiler: turns a pattern into the chain of segments that it owns.
class TRegExSegmentBuilder {
  public:
    TRegExSegmentBuilder(const std::string& pattern, bool ignoreCase);
    TRegExSegmentBuilder(const TRegExSegmentBuilder&) = delete;
    TRegExSegmentBuilder& operator=(const TRegExSegmentBuilder&) = delete;

    // Recompiles unless the pattern is the current one, byte for byte.
    void SetPattern(const std::string& pattern);
    int Count() const { return static_cast<int>(Segments.size()); }
    TRegExSegmentDuo* GetSegment(int index) const;
    TRegExSegmentDuo* AddSegment();
    void Compile();
    void Clear();

    const std::string& Pattern() const { return PatternText; }
    bool IgnoreCase() const { return IgnoreCaseFlag; }
    // False after a failed compilation: the chain then holds only the segments made before the error.
    bool Compiled() const { return CompiledFlag; }

  private:
    std::string PatternText;
    bool IgnoreCaseFlag;
    bool CompiledFlag = false;
    std::vector<std::unique_ptr<TRegExSegmentDuo>> Segments;
    size_t Cursor = 0;

    char At(size_t index) const { return index < PatternText.size() ? PatternText[index] : '\0'; }
    char Current() const { return At(Cursor); }
    bool ParseQuantifier(TRegExSegment& segment);
    bool ParseRange(const std::string& text, TRegExSegment& segment) const;
    void ParseDot(TRegExSegmentDuo& segment);
    void ParseEscape(TRegExSegmentDuo& segment);
    void ParseClass(TRegExSegmentDuo& segment);
    void ParseLiteral(TRegExSegmentDuo& segment);
    void AddWithCase(TRegExCharSet& set, unsigned char c) const;
};

class TRegExSimple {
  public:
    TRegExSimple(const std::string& pattern, bool ignoreCase);

    void SetPattern(const std::string& pattern) { Builder.SetPattern(pattern); }
    // 1-based position where the first match begins, or -1. matchedText gets the matched text, endPos the
    // 1-based position of its last character; Captures the group texts in the order the groups close.
    int Match(const char* subject, std::string* matchedText = nullptr, int* endPos = nullptr);
    int Match(const std::string& subject, std::string* matchedText = nullptr, int* endPos = nullptr) {
        return Match(subject.c_str(), matchedText, endPos);
    }

    const std::vector<std::string>& Captures() const { return CaptureTexts; }
    const TRegExSegmentBuilder& SegmentBuilder() const { return Builder; }

  private:
    TRegExSegmentBuilder Builder;
    const char* SubjectStart = nullptr;
    const char* Position = nullptr;
    std::vector<std::string> CaptureTexts;

    int Step(TRegExSegment& segment);
    void FillCaptures();
};

// The fixed sets of the grammar, for the tests and the tools that show them.
const TRegExCharSet& RegExAnyCharSet();
// The class of an escaped character ("\d", "\S", ...); empty for a character without one.
TRegExCharSet RegExEscapeClass(char c);
