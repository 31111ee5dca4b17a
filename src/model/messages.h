// The six message string tables: 1000 numbered slots of 290 UTF-16 characters each,
// filled from the main package at attach.  Message boxes, tooltips, hints and view
// tips take their texts from these tables by number.
#pragma once

#include <cstddef>

#include "common/text.h"

namespace nvx::model {

enum class MessageTable : unsigned { Message, Change, Constraint, ToolTip, ViewTip, Hint };
constexpr unsigned kMessageTableCount = 6;
constexpr size_t kMessageSlots = 1000;
constexpr size_t kMessageSlotChars = 290;
constexpr size_t kMessageTableBytes = kMessageSlots * kMessageSlotChars * sizeof(WCHAR);
static_assert(kMessageTableBytes == 580000, "each table is 580,000 bytes");

// The package entry that fills each table, in allocation order.
extern const char* const kMessageEntryNames[kMessageTableCount];

struct MessageTables {
    HGLOBAL memory[kMessageTableCount] = {};
    WCHAR* text[kMessageTableCount] = {};  // locked view of memory[i], or null
};

// Allocates the six zero-filled tables (movable global memory, locked) in the order
// MessageStr, ChgMessageStr, CstMessageStr, ToolChipStr, ViewTipsStr, HintStr.
// A table that cannot be allocated stays null.
void AllocateMessageTables(MessageTables& tables);
// Frees them in the same order; each release clears its pointers and skips nulls.
void FreeMessageTables(MessageTables& tables);

// The raw text of a slot ("" when the table is missing, the number is out of range
// or the package supplied no text).
const WCHAR* MessageSlot(const MessageTables& tables, MessageTable table, unsigned number);

// The text as shown: the two characters backslash and "n" become a space and a line feed.
WString MessageForDisplay(const WCHAR* slotText);

}  // namespace nvx::model
