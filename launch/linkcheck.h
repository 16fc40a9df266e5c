// The check a shell link file passes before the system's link parser reads
// it: that parser runs inside our process and trusts the file, so a link
// that would overrun it (a 20,000-character relative path, a string or a
// block that runs past the end of the file) must never reach it.
//
// The layout checked is the shell link format: a 76-byte header with the
// link object's class id and the flags that say which parts follow; the
// target's item id list (a 16-bit size, then items of a 16-bit size each,
// ended by an empty one); the link info (a 32-bit size, a header of 28 or
// 36 bytes, the offsets of its volume id, local base path, network link and
// path suffix, each inside the link info, its strings ended inside it);
// the strings (name, relative path, working directory, arguments, icon
// location: a 16-bit count of characters, one or two bytes each); and the
// extra data blocks (a 32-bit size and signature each, ended by a size
// below 4), whose sizes the known signatures fix.
#pragma once
#include <windows.h>

#include <stddef.h>

// Every path a link gives (the local base path with its suffix, the
// relative path, the working directory, the icon location, the targets of
// the environment blocks) holds fewer characters than a path buffer; the
// name and the arguments fewer than this.
const size_t MaxLinkTextLength = 1024;
// A larger file is no link we read.
const DWORD MaxLinkFileSize = 1 << 20;

// True when the bytes are a well-formed shell link within those limits.
bool ShellLinkIsSound(const BYTE* data, size_t size);
// Reads the file (at most MaxLinkFileSize bytes) and checks it.
bool ShellLinkFileIsSound(const char* path);
