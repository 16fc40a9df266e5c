// Reading the in-process main window's lists, and changing folders the way
// the user does, for tests that run Corvanix in their own thread.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct Folder;
struct Shortcut;

// The item-list row of a window or shortcut, -1 when none.
int ItemRowOf(LPARAM data);
int ItemRowOf(HWND window);
int ItemRowOf(const Shortcut* shortcut);
std::string ItemCell(int row, int column);
int ItemRows();
std::vector<std::string> ItemLabels();
POINT ItemPosition(int row);
int ItemColumnCount();
// Every cell of the item list, row after row, six columns each.
std::vector<std::string> AllItemCells();
// Whether every one of the windows is visible (or, asked so, hidden).
bool AllVisible(const std::vector<HWND>& windows, bool visible = true);

// Appends a folder (as the New command would) and returns its pane index.
int AddFolder(const char* title);
// Selects a folder row, which runs the folder switch.
void SelectFolder(int paneIndex);
// Selects exactly the given item rows.
void SelectItemRows(const std::vector<int>& rows);

// Waits until cond holds, letting the refresh apply passes meanwhile.
bool WaitForList(bool (*cond)(LPARAM), LPARAM arg, DWORD timeoutMs = 5000);
