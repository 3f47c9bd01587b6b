// The about box: a modal dialog from template 2001 with the product name, the build date, the maker's lines,
// and the read-me and change log that lie beside the executable.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

const int AboutBoxTemplate = 2001;
enum TAboutBoxControl : int {
    AboutProductId = 10,
    AboutCreditId = 11,
    AboutMailId = 12,
    AboutWebId = 13,
    AboutCompiledId = 14,
    AboutIconId = 20,
    AboutSeparatorId = 30,
    AboutBandId = 31,
    AboutReadmeId = 40,
    AboutCloseId = IDCANCEL,
};
const COLORREF AboutNameColor = 0x804000;
const COLORREF AboutLinkColor = 0xFF0000;
const COLORREF AboutDateColor = 0x505050;
const int AboutBandHeight = 35;
extern const char* const AboutReadmeFile;
extern const char* const AboutChangelogFile;
extern const char* const AboutMailPrefix;

// Opens a document or address with its default program (the shell's default verb, shown normally).
// Tests put a recorder in its place, so that nothing is opened.
using TShellOpen = void (*)(HWND owner, const std::string& target);
extern TShellOpen AboutShellOpen;
void ShellOpenDefault(HWND owner, const std::string& target);
// The folder of the read-me and the change log, ending in a separator; the executable's folder unless set.
extern std::string AboutDocumentFolder;
std::string AboutDocumentsPath();

// Runs the box modally, owned by owner; moduleHandle 0 takes the template from the program itself.
void AboutBox(HWND owner, uint32_t packedBuild, const std::string& productName, HINSTANCE moduleHandle);
