// Message string tables: allocation, release and lookup.
#include "model/messages.h"

namespace nvx::model {

const char* const kMessageEntryNames[kMessageTableCount] = {
    "MessageStr", "ChgMessageStr", "CstMessageStr", "ToolChipStr", "ViewTipsStr", "HintStr",
};

void AllocateMessageTables(MessageTables& tables) {
    for (unsigned i = 0; i < kMessageTableCount; ++i) {
        tables.memory[i] = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kMessageTableBytes);
        tables.text[i] = tables.memory[i] ? static_cast<WCHAR*>(GlobalLock(tables.memory[i])) : nullptr;
    }
}

void FreeMessageTables(MessageTables& tables) {
    for (unsigned i = 0; i < kMessageTableCount; ++i) {
        if (tables.text[i]) {
            GlobalUnlock(tables.memory[i]);
            tables.text[i] = nullptr;
        }
        if (tables.memory[i]) {
            GlobalFree(tables.memory[i]);
            tables.memory[i] = nullptr;
        }
    }
}

const WCHAR* MessageSlot(const MessageTables& tables, MessageTable table, unsigned number) {
    auto index = static_cast<unsigned>(table);
    if (index >= kMessageTableCount || number >= kMessageSlots || !tables.text[index]) return WL("");
    return tables.text[index] + static_cast<size_t>(number) * kMessageSlotChars;
}

WString MessageForDisplay(const WCHAR* slotText) {
    WString out;
    size_t n = WLenBounded(slotText, kMessageSlotChars);
    out.reserve(n + 4);
    for (size_t i = 0; i < n; ++i) {
        if (slotText[i] == u'\\' && i + 1 < n && slotText[i + 1] == u'n') {
            out += u' ';
            out += u'\n';
            ++i;
        } else {
            out += slotText[i];
        }
    }
    return out;
}

}  // namespace nvx::model
