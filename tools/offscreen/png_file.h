// RGB pictures as PNG files, through libpng: tools save renders, tests compare them with kept ones.
#pragma once

#include <vector>

// rgbTopFirst: width * height * 3 bytes, rows top-first, no row fill. True when the whole file
// was written.
bool WritePng(const char* path, int width, int height, const unsigned char* rgbTopFirst);

// The same PNG file's bytes in memory (an icon file embeds them); empty on bad arguments.
std::vector<unsigned char> EncodePng(int width, int height, const unsigned char* rgbTopFirst);

// Any PNG, converted to 8-bit RGB (rows top-first, no row fill). False, with *rgb emptied, when
// the file is missing or not a readable PNG.
bool ReadPng(const char* path, int* width, int* height, std::vector<unsigned char>* rgb);
