#include "PizzaCountdown.h"

#include "cipher/NumberReader.h"

namespace qel {

namespace {

constexpr int MostMinutes = 59;

// The sign of a number too large for the entry, as the number reader sees it: after the blanks it
// skips, a minus sign comes first.
bool StartsWithMinus(TextView entry)
{
    const auto first = entry.find_first_not_of(U" \t\n");
    return first != TextView::npos && entry[first] == U'-';
}

} // namespace

PizzaEntry ReadPizzaEntry(TextView entry)
{
    if (entry.empty())
        return {PizzaEntry::Empty};
    const Result<int> minutes = ReadNumber(entry, NumberWidth::SignedInt16);
    if (!minutes.ok())
        return {StartsWithMinus(entry) ? PizzaEntry::Negative : PizzaEntry::TooMuch};
    if (minutes.value() > MostMinutes)
        return {PizzaEntry::TooMuch, minutes.value()};
    if (minutes.value() < 0)
        return {PizzaEntry::Negative, minutes.value()};
    return {PizzaEntry::Start, minutes.value()};
}

int MinutesLeft(int minutes, int startMinute, int nowMinute)
{
    int elapsed = nowMinute - startMinute;
    if (elapsed < 0)
        elapsed += 60;
    return minutes - elapsed;
}

MessageBoxRequest PizzaDoneMessage(TextView pizzaKind)
{
    return {Text(pizzaKind) + U"'en er ferdig!!!", U"Info om " + Text(pizzaKind) + U"'en din!",
            MessageButtons::Ok, MessageIcon::Exclamation};
}

} // namespace qel
