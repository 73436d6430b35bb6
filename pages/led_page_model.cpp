#include "pages/led_page_model.h"

#include <algorithm>

namespace q350::pages {

namespace {
constexpr std::uint32_t kColourMask = 0x00FFFFFF;
// What the system gives for a pixel it cannot read.
constexpr std::uint32_t kInvalidPixel = 0xFFFFFFFF;

int Shift(Channel c) {
    return 8 * static_cast<int>(c);
}
}  // namespace

std::uint32_t SwatchColour(int swatch) {
    const PaletteColour& c = kLedPalette[static_cast<std::size_t>(swatch)];
    return static_cast<std::uint32_t>(c.red) | (static_cast<std::uint32_t>(c.green) << 8) |
           (static_cast<std::uint32_t>(c.blue) << 16);
}

int ChannelValue(std::uint32_t colour, Channel channel) {
    return static_cast<int>((colour >> Shift(channel)) & 0xFF);
}

std::uint32_t WithChannel(std::uint32_t colour, Channel channel, int value) {
    const std::uint32_t mask = 0xFFu << Shift(channel);
    const auto byte = static_cast<std::uint32_t>(value) & 0xFF;
    return ((colour & ~mask) | (byte << Shift(channel))) & kColourMask;
}

std::optional<int> ReadChannelText(std::u16string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    int value = 0;
    for (char16_t ch : text) {
        if (ch < u'0' || ch > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (ch - u'0');
        if (value > kChannelMax) {
            return std::nullopt;
        }
    }
    return value;
}

int LedPageModel::mode() const {
    return std::clamp(host_.currentMode(), 0, kModeCount - 1);
}

int LedPageModel::zone() const {
    return p().ledZoneSel[mode()] == 0 ? 0 : 1;
}

std::uint32_t& LedPageModel::colourRef() {
    return p().ledColor[zone()][mode()];
}

std::uint32_t LedPageModel::colour() const {
    return p().ledColor[zone()][mode()];
}
int LedPageModel::swatch() const {
    return p().ledSwatch[zone()][mode()];
}
int LedPageModel::effect() const {
    return p().ledEffect[zone()][mode()];
}
int LedPageModel::brightness() const {
    return p().ledBrightness[zone()][mode()];
}
int LedPageModel::speed() const {
    return p().ledSpeed[zone()][mode()];
}
bool LedPageModel::proximityOn() const {
    return p().proximitySensing[mode()] == 1;
}

void LedPageModel::pickSwatch(int swatch) {
    if (swatch < 0 || swatch >= static_cast<int>(kLedPalette.size())) {
        return;
    }
    colourRef() = SwatchColour(swatch);
    p().ledSwatch[zone()][mode()] = swatch;
}

bool LedPageModel::pickPixel(std::uint32_t pixel) {
    if (pixel == kInvalidPixel) {
        return false;
    }
    colourRef() = pixel & kColourMask;
    return true;
}

void LedPageModel::setChannel(Channel channel, int value) {
    colourRef() = WithChannel(colourRef(), channel, std::clamp(value, 0, kChannelMax));
}

bool LedPageModel::editChannel(Channel channel, std::u16string_view text) {
    const std::optional<int> value = ReadChannelText(text);
    if (!value) {
        return false;
    }
    colourRef() = WithChannel(colourRef(), channel, *value);
    return true;
}

void LedPageModel::setEffect(int effect) {
    if (effect >= 0 && effect <= 4) {
        p().ledEffect[zone()][mode()] = effect;
    }
}

void LedPageModel::setBrightness(int value) {
    p().ledBrightness[zone()][mode()] = std::clamp(value, 0, kBrightnessMax);
}

void LedPageModel::setSpeed(int value) {
    p().ledSpeed[zone()][mode()] = std::clamp(value, 0, kSpeedMax);
}

void LedPageModel::setProximity(bool on) {
    p().proximitySensing[mode()] = on ? 1 : 0;
}

void LedPageModel::selectZone(int zone) {
    if (zone == 0 || zone == 1) {
        p().ledZoneSel[mode()] = zone;
    }
}

}  // namespace q350::pages
