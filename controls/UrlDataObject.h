// The OLE side of dragging a link out of a window: a data source that offers one global memory
// block in one clipboard format, and a drop source that ends the drag when the mouse button that
// started it is released.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstddef>
#include <string>

#include "framework/Handles.h"

// The length of the longest prefix of text that fits in maxBytes without splitting a character
// of codePage: a lead byte is never kept without its trail byte, nor a UTF-8 sequence without
// the rest of it. CP_ACP stands for the active code page, which a manifest may make UTF-8.
std::size_t MultibytePrefixLength(const std::string& text, std::size_t maxBytes,
                                  UINT codePage = CP_ACP);

// A data source holding block (taken over) in format, on TYMED_HGLOBAL. Every GetData hands out
// a copy, so the receiver may keep or free what it gets. Reference count 1.
ComPtr<IDataObject> MakeBlockDataObject(GlobalBlock block, CLIPFORMAT format);

// A drop source for a drag run with button (MK_LBUTTON or MK_RBUTTON) held: drops when that
// button is released, cancels on Escape. Reference count 1.
ComPtr<IDropSource> MakeButtonDropSource(DWORD button);
