// The runner behind zor-effect: a screen buffer and an effect manager driven
// frame by frame in the game's order, pictures made from readable specs, and
// the command line itself, so tests and benchmarks run the same code.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "dwqwriter.h"

class CEffectManager;
class CPicture;
class CScreenBuffer;
namespace platform {
class HeadlessBackend;
}

namespace effecttool {

// A picture from a spec: "solid:RRGGBB[:WxH]", "hgrad[:WxH]", "vgrad[:WxH]"
// (screen-sized unless a size is given, mask full; every column or row of a
// gradient its own colour) or a PNG file (alpha becomes the mask). A ".dwq"
// file is not decoded here: *dwqPath names it instead.
bool ParsePictureSpec(const std::string& spec, int screenW, int screenH, dwqtool::Picture* out,
                      std::string* dwqPath, std::string* error);

// Loads a picture into `target` the way the game does: through a picture
// file (24-bit rows, a mask section when the picture has alpha) in
// `workFolder`, which must be the game folder. keep256 writes 8-bit rows
// (at most 256 colours) and keeps them as palette indices.
bool LoadPictureThroughFile(CPicture* target, const dwqtool::Picture& picture,
                            const std::string& workFolder, std::string* error,
                            bool keep256 = false);
// The same for the ".dwq" file at a host path.
bool LoadDwqThroughFolder(CPicture* target, const std::string& hostPath,
                          const std::string& workFolder, std::string* error,
                          bool keep256 = false);

// One frame in the game's order, drawn whole: the frame start, the pointer
// (mouseX, mouseY) and Tick, Calcu, CheckRedraw and draw pass 0, draw pass 1
// and FinishEffects, AddFrame (step).
void GameFrame(CEffectManager& manager, int onlyEnabled = 1, int step = 1, int mouseX = 0,
               int mouseY = 0);

class EffectRunner {
 public:
  // Makes the screen (black) and the manager. The platform host must be
  // installed; picture files go through `workFolder`, which becomes the
  // game folder.
  EffectRunner(int width, int height, const std::string& workFolder);
  ~EffectRunner();
  EffectRunner(const EffectRunner&) = delete;
  EffectRunner& operator=(const EffectRunner&) = delete;

  CEffectManager& Manager() { return *manager_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Loads a spec into `target`.
  bool LoadSpec(CPicture* target, const std::string& spec, std::string* error);
  // Copies the picture a SPEC names into the saved screen (as far as both
  // reach).
  bool LoadSaved(const std::string& spec, std::string* error);

  // One frame in the game's order, drawn whole: tick, Calcu, pass 0, pass 1
  // with FinishEffects, AddFrame (1).
  void Frame();
  int FrameCount() const { return frames_; }
  // The pointer position of the frames to come.
  void SetMouse(int x, int y) {
    mouseX_ = x;
    mouseY_ = y;
  }

  uint32_t Pixel(int x, int y) const;
  // FNV-1a over the frame's bytes, as the game's --hash-every prints it.
  uint64_t Hash() const;
  bool WritePng(const std::string& hostPath) const;

 private:
  int width_, height_;
  std::string workFolder_;
  int frames_ = 0;
  int mouseX_ = 0, mouseY_ = 0;
  std::unique_ptr<CScreenBuffer> screen_;
  std::unique_ptr<CEffectManager> manager_;
};

// zor-effect's command line (without the program name); prints to out and
// err, returns the exit status.
// With the headless host given, the boxes and (--debug-output) the debug
// lines the engine gave are printed on err as they come.
int RunEffectTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  platform::HeadlessBackend* host = nullptr);

}  // namespace effecttool
