#pragma once
// An archive file that shows on a progress meter how many bytes have been read through it: the
// stub's reading code runs unchanged, and a long verification of a large package stays visible.
#include "archive/input_file.hpp"
#include "tools/progress_meter.hpp"

class progress_input_file : public input_file {
 public:
  progress_input_file(input_file& file, progress_meter& meter) : m_file(file), m_meter(meter) {}

  bool move(std::int32_t distance, origin from) override { return m_file.move(distance, from); }
  bool read(void* buffer, std::uint32_t size) override {
    const bool done = m_file.read(buffer, size);
    m_read += size;
    m_meter.update(m_read);
    return done;
  }
  std::uint32_t position() const override { return m_file.position(); }
  os_error error() const override { return m_file.error(); }

 private:
  input_file& m_file;
  progress_meter& m_meter;
  std::uint64_t m_read = 0;
};
