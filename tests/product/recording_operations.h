// Stand-ins for the operations of every change the product makes, which write down each call (a file
// by its full path, a shortcut by its title) and give the answers asked for: through them the tests
// of the setup's installation and of the uninstaller's removal watch what the two sequences do, and
// in which order.
#pragma once

#include <string>
#include <vector>

#include "operations.h"

namespace recording {

typedef std::vector<std::string> Calls;

// The four publisher shortcuts and the six pictures and sounds, in the order both sequences take them.
const char* const kShortcutTitles[] = {"LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES", "LUMA VERT - FREE SOFTWARE, GAMES, TOOLS",
                                       "LUMAVERT", "LUMAVERT - FREE SOFTWARE, GAMES, TOOLS"};
const char* const kAssets[] = {"ghost.bmp", "skeleton.bmp", "pumpkin1.bmp", "pumpkin2.bmp", "pumpkin3.bmp", "boom1.wav"};

struct Answers {
    std::string failingFile = "-";    // a file whose path ends so cannot be installed or removed
    std::string fileAtRestart = "-";  // one that is removed only at the next restart
    int activation = 1;
    bool restored = true;
    PinnedRemoval shortcuts = PinnedRemoval::removed;
    RemovalResult folder = RemovalResult::removedNow;
    bool unregistered = true;
};

inline Calls g_calls;
inline Answers g_answers;

template <class T>
T Called(const std::string& call, T answer)
{
    g_calls.push_back(call);
    return answer;
}

inline bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

inline int Install(LPCSTR path, LPCSTR, LPCSTR)
{
    return Called(std::string("file ") + path, EndsWith(path, g_answers.failingFile) ? 0 : 1);
}
inline RemovalResult Remove(LPCSTR path, LPCSTR)
{
    return Called(std::string("file ") + path, EndsWith(path, g_answers.failingFile)     ? RemovalResult::failed
                                                : EndsWith(path, g_answers.fileAtRestart) ? RemovalResult::removedAtRestart
                                                                                          : RemovalResult::removedNow);
}
// The uninstaller's file is set aside under its own name, and let go of as any other file is removed.
inline bool SetAside(LPCSTR path, LPCSTR, CString& aside)
{
    aside = CString(path);
    return Called(std::string("aside ") + path, !EndsWith(path, g_answers.failingFile));
}
inline RemovalResult LetGo(LPCSTR aside, LPCSTR folder, bool) { return Remove(aside, folder); }
inline void PutBack(LPCSTR, LPCSTR path) { g_calls.push_back(std::string("put back ") + path); }
inline RemovalResult Folder(LPCSTR folder) { return Called(std::string("folder ") + folder, g_answers.folder); }
inline bool Register(const ProductPaths& paths)
{
    return Called("register " + std::string(paths.uninstaller) + " showing " + std::string(paths.saver), true);
}
inline bool Unregister() { return Called("unregister", g_answers.unregistered); }
inline bool Record(LPCSTR saver) { return Called(std::string("record ") + saver, true); }
inline int Activate(LPCSTR saver) { return Called(std::string("activate ") + saver, g_answers.activation); }
inline bool Restore(LPCSTR saver) { return Called(std::string("restore ") + saver, g_answers.restored); }
inline void CreateShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    g_calls.push_back(std::string("shortcut ") + shortcut.title + " -> " + target);
}
inline PinnedRemoval RemoveShortcut(const PublisherShortcut& shortcut, LPCSTR)
{
    return Called(std::string("shortcut ") + shortcut.title, g_answers.shortcuts);
}
inline void RemoveSettings() { g_calls.push_back("settings"); }

inline const ProductOperations kRecordingOperations = {
    Install, Remove, SetAside, LetGo, PutBack, Folder, Register, Unregister, Record, Activate, Restore, CreateShortcut, RemoveShortcut, RemoveSettings,
};

// Clears what was written down and sets the answers for the next run.
inline void Expect(const Answers& answers)
{
    g_calls.clear();
    g_answers = answers;
}

// `calls` cut after `last` (whole when it is not there).
inline Calls UpTo(Calls calls, const std::string& last)
{
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i] == last) calls.resize(i + 1);
    return calls;
}

}  // namespace recording
