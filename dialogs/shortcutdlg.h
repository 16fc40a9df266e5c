// The Shortcut Properties dialog: the fields of a new shortcut or of one
// being edited.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "model/settings.h"

// A shortcut's fields as the dialog shows them and gives them back.
struct ShortcutDialogFields {
    std::string Title;
    std::string CommandLine;
    std::string WorkingDirectory;
    std::string IconFile;
    LONG IconIndex = 0;
    BYTE ShowState = 0;  // 0 normal, 1 minimised, 2 maximised
    DWORD Priority = PriorityNormal;
    DWORD MultipleInstances = 0;
    DWORD ContainInFolder = 0;
    DWORD SeparateMemory = 0;
};

// What the dialog shows and, after OK, what the shortcut is to hold. The
// caller makes or changes the shortcut and labels its row: the dialog
// does neither.
struct ShortcutDialogArgs {
    // In: a new shortcut (the caption "Create Shortcut", empty fields,
    // "Normal" and "Contain Application in Folder"), or the shortcut whose
    // fields are given.
    bool CreateMode = false;
    // In, to edit: the shortcut's fields. Out after OK: every field to
    // store, checked to fit what the registry keeps; an empty title is
    // made from the command line, an empty icon file is the command's
    // program with its first icon.
    ShortcutDialogFields Fields;
    // In, to create: asked by OK, after the fields are checked, whether the
    // folder still takes a shortcut (it may have changed by its hot key
    // while the dialog was open), saying why not in a box owned by the
    // dialog; false ends the dialog with 0.
    std::function<bool(HWND dialog)> FolderHasRoom;
};

// Runs the dialog (template "SHORTCUT") owned by owner; 1 after OK, 0
// after Cancel, the close box or a folder without room.
INT_PTR RunShortcutDialog(HWND owner, ShortcutDialogArgs& args);

// The caption of the boxes that say why a shortcut is not made.
extern const char ShortcutNoticeCaption[];
