#include "base/formatsettings.h"

namespace {

TFormatSettings &MutableFormat() {
    static TFormatSettings settings;
    return settings;
}

} // namespace

const TFormatSettings &FormatSettings() {
    return MutableFormat();
}
void SetFormatSettings(const TFormatSettings &Settings) {
    MutableFormat() = Settings;
}
TFormatSettings GermanFormatSettings() {
    return TFormatSettings{};
}
