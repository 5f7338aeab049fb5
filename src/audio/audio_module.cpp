// Tracker modules rendered by libopenmpt from memory. libopenmpt copies what it needs while
// loading, so the caller's bytes are not read again afterwards.
#include <libopenmpt/libopenmpt.h>

#include <cmath>

#include "audio/audio_source.h"
#include "platform/log.h"

namespace {

class ModuleSource final : public AudioSource {
 public:
  ModuleSource(openmpt_module* module, int rate) : module_(module), rate_(rate) {}
  ~ModuleSource() override { openmpt_module_destroy(module_); }

  int Rate() const override { return rate_; }

  int Read(float* stereo, int frames) override {
    return static_cast<int>(openmpt_module_read_interleaved_float_stereo(module_, rate_, frames, stereo));
  }

  bool Rewind() override {
    openmpt_module_set_position_seconds(module_, 0.0);
    return true;
  }

  // The module repeats forever, so a time past its end is that far into a later round.
  bool Seek(double seconds) override {
    if (!(seconds >= 0.0)) return false;
    const double duration = openmpt_module_get_duration_seconds(module_);
    if (duration > 0.0) seconds = std::fmod(seconds, duration);
    openmpt_module_set_position_seconds(module_, seconds);
    return true;
  }

 private:
  openmpt_module* module_;
  int rate_;
};

}  // namespace

std::unique_ptr<AudioSource> OpenModuleSource(const void* data, size_t size, int rate) {
  if (!data || size == 0) return nullptr;
  int error = 0;
  const char* message = nullptr;
  openmpt_module* module = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, nullptr,
                                                              openmpt_error_func_store, nullptr,
                                                              &error, &message, nullptr);
  if (!module) {
    LogDebug("module: not loaded (%d): %s", error, message ? message : "unknown format");
    openmpt_free_string(message);
    return nullptr;
  }
  openmpt_free_string(message);
  if (openmpt_module_get_duration_seconds(module) <= 0.0) {
    openmpt_module_destroy(module);
    return nullptr;
  }
  // Repeat forever: the channel plays the module for as long as the demo runs.
  openmpt_module_set_repeat_count(module, -1);
  return std::make_unique<ModuleSource>(module, rate);
}
