#include "core/UiTextTable.h"

namespace {
const std::string kNoText;
}

const std::string& UiTextTable::get(uint32_t index) const
{
    return index < kTextCount ? texts_[index] : kNoText;
}

void UiTextTable::set(uint32_t index, std::string text)
{
    if (index < kTextCount)
        texts_[index] = std::move(text);
}
