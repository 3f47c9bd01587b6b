// The pattern matcher: compilation into a segment chain and greedy single-pass matching.
#include "messages/RegExSimple.h"

#include "app/QrLib.h"

#include <cstring>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const std::string& message) {
    throw std::runtime_error("RegExSegment: " + message);
}

unsigned char UpperAscii(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}
unsigned char LowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

bool IsOneOf(char c, const char* members) {
    return c != '\0' && std::strchr(members, c) != nullptr;
}

// Characters that end a literal run, and those that an escape turns into a one-character literal.
const char* const RunStoppers = "$().[\\]^";
const char* const Quantifiers = "*+?{";
const char* const EscapedLiterals = "$().[\\]^*+?{";

TRegExCharSet MakeAnyCharSet() {
    TRegExCharSet set;
    set.set();
    set.reset(10);
    set.reset(13);
    return set;
}

TRegExCharSet RangeSet(unsigned char first, unsigned char last) {
    TRegExCharSet set;
    for (unsigned c = first; c <= last; ++c)
        set.set(c);
    return set;
}

} // namespace

const TRegExCharSet& RegExAnyCharSet() {
    static const TRegExCharSet any = MakeAnyCharSet();
    return any;
}

TRegExCharSet RegExEscapeClass(char c) {
    const unsigned char key = LowerAscii(static_cast<unsigned char>(c));
    TRegExCharSet set;
    switch (key) {
    case 's':
        set.set(9);
        set.set(32);
        break;
    case 'd':
        set = RangeSet('0', '9');
        break;
    case 'w':
        set = RangeSet('0', '9') | RangeSet('A', 'Z') | RangeSet('a', 'z');
        set.set('_');
        break;
    case 'a':
        set = RangeSet('A', 'Z') | RangeSet('a', 'z');
        break;
    case 'x':
        set = RangeSet('0', '9') | RangeSet('A', 'F') | RangeSet('a', 'f');
        break;
    case '0':
        set.set(0);
        break;
    case 't':
        set.set(9);
        break;
    case 'n':
        set.set(10);
        break;
    case 'r':
        set.set(13);
        break;
    default:
        break;
    }
    // Upper-case letters (and "0", which has no lower case) stand for the complement.
    if (set.any() && UpperAscii(static_cast<unsigned char>(c)) == static_cast<unsigned char>(c))
        set = RegExAnyCharSet() & ~set;
    return set;
}

// ---- Segments

TRegExSegmentDuo::TRegExSegmentDuo(TRegExSegmentBuilder& builder) : TRegExSegment(builder) {}

const char* TRegExSegmentDuo::MatchAt(const char* position) {
    if (Text.size() == 1) return MatchSingle(position);
    if (Text.size() > 1) return MatchLiteral(position);
    if (CharSet.any()) return MatchSet(position);
    Fail("Invalid pattern segment");
}

namespace {

bool SameChar(char a, char b, bool ignoreCase) {
    if (!ignoreCase) return a == b;
    return UpperAscii(static_cast<unsigned char>(a)) == UpperAscii(static_cast<unsigned char>(b));
}

} // namespace

const char* TRegExSegmentDuo::MatchSingle(const char* position) const {
    const bool ignoreCase = Builder.IgnoreCase();
    int32_t n = 0;
    while (*position != '\0' && n < MaxCount && SameChar(*position, Text[0], ignoreCase)) {
        ++position;
        ++n;
    }
    return MinCount <= n && n <= MaxCount ? position : nullptr;
}

const char* TRegExSegmentDuo::MatchLiteral(const char* position) {
    const bool ignoreCase = Builder.IgnoreCase();
    size_t matched = 0;
    while (matched < Text.size()) {
        if (*position == '\0') return nullptr;
        if (SameChar(*position, Text[matched], ignoreCase)) {
            ++position;
            ++matched;
        } else if (SearchesForward() && matched == 0) {
            ++position;
            ++MatchStart;
        } else {
            return nullptr;
        }
    }
    return position;
}

const char* TRegExSegmentDuo::MatchSet(const char* position) {
    int32_t n = 0;
    while (*position != '\0' && n < MaxCount) {
        if (CharSet.test(static_cast<unsigned char>(*position))) {
            ++position;
            ++n;
        } else if (SearchesForward() && n == 0) {
            ++position;
            ++MatchStart;
        } else {
            break;
        }
    }
    return MinCount <= n && n <= MaxCount ? position : nullptr;
}

// ---- Compilation

TRegExSegmentBuilder::TRegExSegmentBuilder(const std::string& pattern, bool ignoreCase)
    : PatternText(pattern), IgnoreCaseFlag(ignoreCase) {
    Compile();
}

void TRegExSegmentBuilder::SetPattern(const std::string& pattern) {
    if (pattern == PatternText) return;
    PatternText = pattern;
    Compile();
}

TRegExSegmentDuo* TRegExSegmentBuilder::GetSegment(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return Segments[static_cast<size_t>(index)].get();
}

TRegExSegmentDuo* TRegExSegmentBuilder::AddSegment() {
    auto segment = std::make_unique<TRegExSegmentDuo>(*this);
    segment->Index = Count();
    if (!Segments.empty()) {
        segment->Prev = Segments.back().get();
        Segments.back()->Next = segment.get();
    }
    Segments.push_back(std::move(segment));
    return Segments.back().get();
}

void TRegExSegmentBuilder::Clear() {
    Segments.clear();
}

void TRegExSegmentBuilder::Compile() {
    Clear();
    CompiledFlag = false;
    Cursor = 0;
    int depth = 0;
    while (Current() != '\0') {
        TRegExSegmentDuo& segment = *AddSegment();
        if (Current() == '^' && segment.Index == 0) {
            segment.AnchorStart = true;
            ++Cursor;
        }
        if (Current() == '(') {
            segment.GroupOpen = true;
            ++depth;
            ++Cursor;
        }
        switch (Current()) {
        case '.':
            ParseDot(segment);
            break;
        case '[':
            ParseClass(segment);
            break;
        case '\\':
            ParseEscape(segment);
            break;
        default:
            ParseLiteral(segment);
            break;
        }
        if (Current() == ')') {
            segment.GroupClose = true;
            --depth;
            ++Cursor;
        }
        if (Current() == '$' && At(Cursor + 1) == '\0') {
            segment.AnchorEnd = true;
            ++Cursor;
        }
        if (segment.Text.empty() && segment.CharSet.none())
            Fail(FormatText("Invalid pattern: \"%s\"", PatternText.c_str()));
    }
    if (depth != 0) Fail(FormatText("Unbalanced capture groups (%d)", depth));
    CompiledFlag = true;
}

bool TRegExSegmentBuilder::ParseQuantifier(TRegExSegment& segment) {
    switch (Current()) {
    case '*':
        segment.MinCount = 0;
        segment.MaxCount = TRegExSegment::Unbounded;
        break;
    case '+':
        segment.MinCount = 1;
        segment.MaxCount = TRegExSegment::Unbounded;
        break;
    case '?':
        segment.MinCount = 0;
        segment.MaxCount = 1;
        break;
    case '{': {
        // At most 10 characters between the braces.
        size_t close = 0;
        for (size_t i = Cursor + 1; i <= Cursor + 11 && At(i) != '\0'; ++i) {
            if (At(i) == '}') {
                close = i;
                break;
            }
        }
        if (close == 0) return false;
        if (!ParseRange(PatternText.substr(Cursor + 1, close - Cursor - 1), segment)) return false;
        Cursor = close + 1;
        return true;
    }
    default:
        return false;
    }
    ++Cursor;
    return true;
}

bool TRegExSegmentBuilder::ParseRange(const std::string& text, TRegExSegment& segment) const {
    if (text.empty()) return false;
    const size_t comma = text.find(',');
    int32_t low = 0;
    int32_t high = 0;
    if (comma == std::string::npos) {
        if (!TryIntFromText(text, low)) return false;
        high = low;
    } else if (comma + 1 == text.size()) {
        if (!TryIntFromText(text.substr(0, comma), low)) return false;
        high = TRegExSegment::Unbounded;
    } else {
        // A malformed bound (such as "3x") makes the braces literal text rather than a quantifier.
        if (!TryIntFromText(text.substr(0, comma), low) || !TryIntFromText(text.substr(comma + 1), high))
            return false;
        if (low > high) Fail(FormatText("Misordered quantifier range {%d,%d}", low, high));
    }
    segment.MinCount = low;
    segment.MaxCount = high;
    return true;
}

void TRegExSegmentBuilder::ParseDot(TRegExSegmentDuo& segment) {
    segment.CharSet = RegExAnyCharSet();
    ++Cursor;
    ParseQuantifier(segment);
}

void TRegExSegmentBuilder::ParseEscape(TRegExSegmentDuo& segment) {
    ++Cursor;
    const char c = Current();
    // A pattern that ends in a lone backslash has nothing to escape; the empty segment is then rejected.
    if (c == '\0') return;
    if (IsOneOf(c, EscapedLiterals))
        segment.Text = std::string(1, c);
    else
        segment.CharSet = RegExEscapeClass(c);
    ++Cursor;
    ParseQuantifier(segment);
}

void TRegExSegmentBuilder::AddWithCase(TRegExCharSet& set, unsigned char c) const {
    set.set(c);
    if (IgnoreCaseFlag) {
        set.set(UpperAscii(c));
        set.set(LowerAscii(c));
    }
}

void TRegExSegmentBuilder::ParseClass(TRegExSegmentDuo& segment) {
    const size_t open = Cursor;
    ++Cursor;
    bool negated = false;
    if (Current() == '^') {
        negated = true;
        ++Cursor;
    }
    TRegExCharSet set;
    for (;;) {
        const char c = Current();
        if (c == '\0') Fail("Character class has no ending bracket");
        if (c == ']') break;
        if (c == '\\') {
            ++Cursor;
            const char e = Current();
            if (e == '\0') Fail("Character class has no ending bracket");
            const TRegExCharSet escaped = RegExEscapeClass(e);
            if (!IsOneOf(e, RunStoppers) && escaped.any())
                set |= escaped;
            else
                set.set(static_cast<unsigned char>(e));
            ++Cursor;
        } else if (c == '-' && Cursor - 1 != open && At(Cursor + 1) != ']' && At(Cursor + 1) != '\0') {
            const unsigned char first = static_cast<unsigned char>(At(Cursor - 1));
            const unsigned char last = static_cast<unsigned char>(At(Cursor + 1));
            if (first > last) Fail("Character class range out of order");
            for (unsigned b = first; b <= last; ++b)
                AddWithCase(set, static_cast<unsigned char>(b));
            Cursor += 2;
        } else {
            AddWithCase(set, static_cast<unsigned char>(c));
            ++Cursor;
        }
    }
    segment.CharSet = negated ? RegExAnyCharSet() & ~set : set;
    ++Cursor;
    ParseQuantifier(segment);
}

void TRegExSegmentBuilder::ParseLiteral(TRegExSegmentDuo& segment) {
    const size_t start = Cursor;
    for (;;) {
        const char c = Current();
        const size_t collected = Cursor - start;
        if (c == '\0' || IsOneOf(c, RunStoppers)) break;
        if (IsOneOf(c, Quantifiers)) {
            if (collected == 0) Fail(FormatText("Invalid placement of quantifier \"%c\"", c));
            if (collected > 1) {
                // The quantifier belongs to the last character, which starts the next segment.
                --Cursor;
                break;
            }
            segment.Text = PatternText.substr(start, 1);
            if (ParseQuantifier(segment)) return;
            // A "{" that is no range is an ordinary character.
        }
        ++Cursor;
    }
    if (Cursor > start) segment.Text = PatternText.substr(start, Cursor - start);
}

// ---- Matching

TRegExSimple::TRegExSimple(const std::string& pattern, bool ignoreCase) : Builder(pattern, ignoreCase) {}

int TRegExSimple::Step(TRegExSegment& segment) {
    segment.MatchStart = static_cast<int32_t>(Position - SubjectStart);
    const char* reached = segment.MatchAt(Position);
    if (!reached || (segment.AnchorEnd && *reached != '\0')) return -1;
    Position = reached;
    segment.MatchEnd = static_cast<int32_t>(reached - SubjectStart) - 1;
    return segment.MatchEnd - segment.MatchStart + 1;
}

void TRegExSimple::FillCaptures() {
    int32_t openStart = -1;
    for (TRegExSegment* segment = Builder.GetSegment(0); segment; segment = segment->Next) {
        if (segment->GroupOpen) openStart = segment->MatchStart;
        if (segment->GroupClose && openStart >= 0) {
            const int32_t length = segment->MatchEnd - openStart + 1;
            CaptureTexts.emplace_back(SubjectStart + openStart, length > 0 ? static_cast<size_t>(length) : 0);
            openStart = -1;
        }
    }
}

int TRegExSimple::Match(const char* subject, std::string* matchedText, int* endPos) {
    CaptureTexts.clear();
    if (matchedText) matchedText->clear();
    // A chain left over from a failed compilation is never matched with.
    if (Builder.Count() == 0 || !Builder.Compiled() || !subject || *subject == '\0') return -1;
    const int32_t length = static_cast<int32_t>(std::strlen(subject));
    SubjectStart = subject;
    Position = subject;
    TRegExSegment* first = Builder.GetSegment(0);
    TRegExSegment* segment = first;
    while (segment) {
        segment->MatchStart = -1;
        segment->MatchEnd = -1;
        if (Step(*segment) >= 0) {
            segment = segment->Next;
            continue;
        }
        if (*Position == '\0' || first->AnchorStart || first->MatchStart + 1 > length) {
            CaptureTexts.clear();
            return -1;
        }
        Position = SubjectStart + first->MatchStart + 1;
        segment = first;
    }
    FillCaptures();
    const TRegExSegment* last = Builder.GetSegment(Builder.Count() - 1);
    if (matchedText) {
        const int32_t matchedLength = last->MatchEnd - first->MatchStart + 1;
        if (matchedLength > 0)
            matchedText->assign(SubjectStart + first->MatchStart, static_cast<size_t>(matchedLength));
    }
    if (endPos) *endPos = last->MatchEnd + 1;
    return first->MatchStart + 1;
}
