#pragma once

// The lighting settings of the LED page without its window: the zone being edited, the colour
// edits of the swatches, the wheel, the sliders and the edit boxes, and the effect, speed,
// brightness, zone and proximity choices, all on the record of the current mode.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pages/page_host.h"

namespace q350::pages {

struct PaletteColour {
    std::uint8_t red, green, blue;
};

// The 26 colours of the swatches.
inline constexpr std::array<PaletteColour, 26> kLedPalette = {
    {{250, 5, 126},  {250, 18, 0},   {248, 121, 1},  {249, 237, 0},  {193, 240, 9},  {39, 249, 0},
     {24, 164, 42},  {19, 231, 147}, {13, 233, 223}, {1, 193, 250},  {5, 142, 250},  {0, 111, 249},
     {36, 0, 248},   {90, 24, 227},  {127, 27, 226}, {193, 24, 226}, {230, 250, 84}, {0, 185, 48},
     {250, 99, 125}, {196, 59, 35},  {222, 3, 22},   {23, 122, 173}, {0, 185, 18},   {74, 90, 192},
     {111, 78, 238}, {1, 84, 185}}};

// Slider ids (the 2048 notification's lParam) and the edit boxes' control ids.
inline constexpr unsigned kSliderRed = 775;
inline constexpr unsigned kSliderGreen = 776;
inline constexpr unsigned kSliderBlue = 777;
inline constexpr unsigned kSliderBrightness = 778;
inline constexpr unsigned kSliderSpeed = 779;
inline constexpr unsigned kEditRed = 1003;
inline constexpr unsigned kEditGreen = 1004;
inline constexpr unsigned kEditBlue = 1005;

inline constexpr int kChannelMax = 255;
inline constexpr int kBrightnessMax = 9;
inline constexpr int kSpeedMax = 4;

// Colour channels in the order of the sliders and boxes.
enum class Channel { Red = 0, Green = 1, Blue = 2 };

// The colour 0x00BBGGRR of a swatch.
std::uint32_t SwatchColour(int swatch);
// A channel's byte of a colour, and the colour with that byte replaced (the top byte cleared).
int ChannelValue(std::uint32_t colour, Channel channel);
std::uint32_t WithChannel(std::uint32_t colour, Channel channel, int value);

// The text of an edit box as a channel value: none when the box is empty, holds anything but
// digits or a number above 255.
std::optional<int> ReadChannelText(std::u16string_view text);
// Shown when a box holds a number out of range after all.
inline constexpr std::u16string_view kChannelRangeText = u"Enter an integer between 0 and 255.";

class LedPageModel {
public:
    explicit LedPageModel(PageHost& host) : host_(host) {}

    int mode() const;
    // The zone the page edits: the one the zone buttons of the current mode show.
    int zone() const;

    std::uint32_t colour() const;
    int swatch() const;
    int effect() const;
    int brightness() const;
    int speed() const;
    bool proximityOn() const;

    // A swatch: its colour and its index.
    void pickSwatch(int swatch);
    // A pixel of the wheel as the picture holds it; false (and nothing changed) for a value that
    // is no colour (a pixel outside the picture). The swatch index stays.
    bool pickPixel(std::uint32_t pixel);
    // The red, green or blue slider moved.
    void setChannel(Channel channel, int value);
    // An edit box changed: false, leaving the colour as it was, when its text is no value.
    bool editChannel(Channel channel, std::u16string_view text);
    void setEffect(int effect);
    void setBrightness(int value);
    void setSpeed(int value);
    void setProximity(bool on);
    void selectZone(int zone);

private:
    std::uint32_t& colourRef();
    ProfileData& p() { return host_.profile(); }
    const ProfileData& p() const { return host_.profile(); }

    PageHost& host_;
};

}  // namespace q350::pages
