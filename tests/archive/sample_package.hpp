#pragma once
// The sample installation package rebuilt: a 498,176-byte stub image whose stored digest does not
// match (as after signing), the stub entry, the payload ZEMPOSetup.exe (1,377,280 bytes), three
// values, the tail record, 2 zero bytes and a 5,664-byte certificate table.
#include <cstdint>
#include <string>

#include "archive/record_format.hpp"
#include "tests/archive/package_builder.hpp"

struct sample_package {
  std::string bytes;
  std::string payload;

  static constexpr char parameters[] = "/V\"USER_BRAND_NAME=\\\"Mirelund\\\" WEBINSTALLER=1\"";

  // Bytes that look like nothing in particular and never hold the marker.
  static std::string filler(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::uint32_t x = seed;
    for (char& c : bytes) {
      x = x * 1664525u + 1013904223u;
      c = static_cast<char>(x >> 24);
    }
    return bytes;
  }

  // An executable image that, like the real stub, holds the marker text among its constants.
  static std::string stub_image() {
    std::string image = filler(498176, 1);
    image.replace(0, 2, "MZ");
    image.replace(0x4a10, record_format::tail_marker_size, record_format::tail_marker);
    return image;
  }

  static sample_package make() {
    sample_package sample;
    sample.payload = filler(1377280, 2);
    sample.payload.replace(0, 2, "MZ");
    sample.bytes = package_builder()
                       .stub(stub_image(), "Kestor.exe")
                       .file("installer32", "ZEMPOSetup.exe", sample.payload)
                       .value("executable32", "%installer32%")
                       .value("parameters", parameters)
                       .value("msilog", "ON")
                       .tail()
                       .raw(std::string(2, '\0'))
                       .raw(filler(5664, 3))
                       .bytes();
    return sample;
  }
};
