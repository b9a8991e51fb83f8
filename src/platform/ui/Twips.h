#pragma once

// Window geometry is laid out in twips (1/1440 inch); the screen has 15 twips to a pixel.
namespace twips {

inline constexpr int kPerPixel = 15;

constexpr int toPixels(int twips) { return twips / kPerPixel; }
constexpr int fromPixels(int pixels) { return pixels * kPerPixel; }

}  // namespace twips
