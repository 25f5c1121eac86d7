#include "demo/RunDemo.h"

#include "demo/AssetFolder.h"
#include "demo/CommandLine.h"
#include "demo/DemoOptions.h"
#include "demo/recording/FrameRecorder.h"
#include "demo/recording/Recording.h"
#include "qorx/image/Texture.h"
#include "qorx/window/ErrorReporter.h"
#include "qorx/window/GlWindow.h"
#include "qorx/window/Keyboard.h"

#include <windows.h>

#include <GL/gl.h>
#include <fmod.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

// The clock and the speed are stored as floats but every formula is worked out
// in double precision from the stored values, and rounded to float only where
// it is stored or handed to OpenGL. The frame counts of the scenes (630 and
// 1115 frames) depend on exactly this, so keep the static_casts to double.
namespace {

const int32_t ScreenWidth = 800;
const int32_t ScreenHeight = 600;
const int32_t ScreenBits = 16;
const int RecordingFailed = 1;
const int UsageError = 2;

// The sound library's set-up as the presentation has always asked for it:
// output driver, mixer, 44000 Hz over 64 channels without flags, and the
// soundtrack's stream mode, played on whichever channel is free.
const int SoundOutput = 2;
const int SoundMixer = 4;
const int MixRate = 44000;
const int SoundChannels = 64;
const unsigned int SoundInitFlags = 0;
const unsigned int SoundtrackMode = 43;
const int AnyFreeChannel = -1;

// What differs from scene to scene once its entry actions have run.
struct SceneRules {
    bool endsByClock; // scenes 1 and 2 end once c * -23 reaches endBound
    double endBound;
    double opacityOrigin; // opacity = (c - opacityOrigin) * opacityFactor
    double opacityFactor;
    double step;   // constant part of the clock's fall per frame
    double growth; // growth of the speed per frame
    bool soundBeforePresent;
};

const SceneRules StormScene = {true, 6, 0, -23, 0.0001, 0.000001, false};
const SceneRules MirkScene = {true, 10, 1, -3, 0.0001, 0.000001, false};
const SceneRules FinScene = {false, 0, 0, -23, 0.00005, 0.0000005, true};

void vertex(float opacity, double s, double t, float x, float y)
{
    glColor4f(1, 1, 1, opacity);
    glTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t));
    glVertex2f(x, y);
}

// One screen-filling quad whose corners drift inwards, each at its own rate,
// as the clock falls below 0: the picture zooms in and slides unevenly.
void drawQuad(float clock, float opacity)
{
    const double c = clock;
    const float cPlusOne = static_cast<float>(c + 1);
    glBegin(GL_QUADS);
    vertex(opacity, -0.9 * c, -c, 0, 0);
    vertex(opacity, cPlusOne, -0.95 * c, ScreenWidth, 0);
    vertex(opacity, 0.98 * c + 1, cPlusOne, ScreenWidth, ScreenHeight);
    vertex(opacity, -c, cPlusOne, 0, ScreenHeight);
    glEnd();
}

void presentFrame(const SceneRules& rules, GlWindow& window)
{
    if (rules.soundBeforePresent) {
        FSOUND_3D_Update();
        window.present();
    } else {
        window.present();
        FSOUND_3D_Update();
    }
}

// The key-state table changes only inside present(), so once Escape is seen
// the scenes after this one end before drawing anything. A recording takes
// each frame as drawn, before the swap, and ends the scenes once it has all.
void runScene(const SceneRules& rules, float& clock, float& speed, GlWindow& window, const Keyboard& keyboard,
              FrameRecorder* recorder)
{
    while (!keyboard.isDown(VK_ESCAPE) && !(recorder != nullptr && recorder->finished())) {
        const double c = clock;
        if (rules.endsByClock && !(c * -23 < rules.endBound))
            return;
        // Not clamped: OpenGL clamps every value from 1 upwards to opaque.
        const float opacity = static_cast<float>((c - rules.opacityOrigin) * rules.opacityFactor);
        window.clear();
        drawQuad(clock, opacity);
        if (recorder != nullptr)
            recorder->capture();
        presentFrame(rules, window);
        clock = static_cast<float>(c - (static_cast<double>(speed) + rules.step));
        speed = static_cast<float>(static_cast<double>(speed) + rules.growth);
    }
}

// The three pictures in the order they are loaded and shown.
struct Pictures {
    Texture stormledge;
    Texture mirk;
    Texture fin;
};

void runScenes(Pictures& pictures, GlWindow& window, const Keyboard& keyboard, FrameRecorder* recorder)
{
    float speed = 0;
    float clock = 0;
    glBindTexture(GL_TEXTURE_2D, pictures.stormledge.id);
    glEnable(GL_BLEND);

    runScene(StormScene, clock, speed, window, keyboard, recorder);

    glBindTexture(GL_TEXTURE_2D, pictures.mirk.id);
    clock = 1;
    glDisable(GL_CULL_FACE);
    runScene(MirkScene, clock, speed, window, keyboard, recorder);

    glBindTexture(GL_TEXTURE_2D, pictures.fin.id);
    clock = 0;
    runScene(FinScene, clock, speed, window, keyboard, recorder);
}

void startSound()
{
    FSOUND_SetOutput(SoundOutput);
    FSOUND_SetMixer(SoundMixer);
    FSOUND_Init(MixRate, SoundChannels, SoundInitFlags);
}

void openWindow(GlWindow& window, ErrorReporter& errorReporter, bool windowed)
{
    if (window.registerClass())
        errorReporter.fatalError("Error inicializando libreria");
    if (!windowed)
        window.setFullscreen();
    if (window.open(ScreenWidth, ScreenHeight, ScreenBits, "hola! gl abierta!"))
        errorReporter.fatalError("Error iniciando modo de video");
}

// The box can only say that a picture failed; the line before it says which
// and why. The display mode is given back before the box is shown, so the
// message appears on the user's own desktop.
void loadTexture(Texture& texture, const std::string& path, GlWindow& window, ErrorReporter& errorReporter)
{
    texture.setMipmaps(true);
    if (!texture.load(path.c_str())) {
        std::fprintf(stderr, "qorx: cannot load %s: %s\n", path.c_str(), texture.failureReason());
        std::fflush(stderr);
        window.shutdown();
        errorReporter.fatalError("Error cargando la textura");
    }
}

// A missing or unplayable soundtrack leaves the presentation silent.
void startMusic(const std::string& path)
{
    FSOUND_STREAM* stream = FSOUND_Stream_OpenMpeg(path.c_str(), SoundtrackMode);
    FSOUND_Stream_Play(AnyFreeChannel, stream);
}

int showDemo(const DemoOptions& options, const AssetFolder& assets)
{
    GlWindow window;
    Keyboard keyboard;
    ErrorReporter errorReporter;
    Pictures pictures;

    startSound();
    openWindow(window, errorReporter, options.windowed);
    loadTexture(pictures.stormledge, assets.path(AssetFolder::Pictures[0]), window, errorReporter);
    loadTexture(pictures.mirk, assets.path(AssetFolder::Pictures[1]), window, errorReporter);
    loadTexture(pictures.fin, assets.path(AssetFolder::Pictures[2]), window, errorReporter);
    startMusic(assets.path(AssetFolder::Soundtrack));
    runScenes(pictures, window, keyboard, nullptr);
    window.shutdown();
    return 0;
}

int recordingFailed(const std::string& problem)
{
    std::fprintf(stderr, "qorx-demo: %s\n", problem.c_str());
    return RecordingFailed;
}

// Draws the first `frames` frames into `folder`, in a hidden window without
// the 60-a-second cap. The scenes see the recorder only through runScene's
// capture() and finished().
int recordFrames(const DemoOptions& options, const AssetFolder& assets, const std::string& folder)
{
    GlWindow window;
    Keyboard keyboard;
    Pictures pictures;
    FrameRecorder recorder;
    if (window.registerClass() != 0 || window.setHidden() != 0 ||
        window.open(ScreenWidth, ScreenHeight, ScreenBits, "qorx recording") != 0)
        return recordingFailed("cannot open an OpenGL window to draw in");
    window.framePacer.enabled = false;
    bool ready = recorder.start(folder, ScreenWidth, ScreenHeight, options.frames);
    std::string problem = recorder.problem;
    Texture* const textures[] = {&pictures.stormledge, &pictures.mirk, &pictures.fin};
    for (size_t index = 0; index < std::size(textures); ++index) {
        const std::string path = assets.path(AssetFolder::Pictures[index]);
        textures[index]->setMipmaps(true);
        if (ready && !textures[index]->load(path.c_str())) {
            ready = false;
            problem = "cannot load " + path + ": " + textures[index]->failureReason();
        }
    }
    if (ready)
        runScenes(pictures, window, keyboard, &recorder);
    recorder.stop();
    window.shutdown();
    if (!ready)
        return recordingFailed(problem);
    if (recorder.captured < options.frames)
        return recordingFailed(recorder.problem);
    return 0;
}

int recordDemo(const DemoOptions& options, const AssetFolder& assets)
{
    Recording recording;
    if (!recording.begin(options.recordTarget, options.frames, assets.path(AssetFolder::Soundtrack)))
        return recordingFailed(recording.problem);
    const int result = recordFrames(options, assets, recording.folder());
    if (result == 0 && !recording.finish())
        return recordingFailed(recording.problem);
    return result;
}

} // namespace

int runDemo(const char* commandLine)
{
    const DemoOptions options = DemoOptions::parse(CommandLine(commandLine).arguments());
    if (options.action == DemoOptions::Help) {
        std::fputs(DemoOptions::helpText(), stdout);
        const std::string data = AssetFolder::installedDataFolder();
        if (!data.empty())
            std::printf("\nThe installed data folder: %s\n", data.c_str());
        return 0;
    }
    if (options.action == DemoOptions::UsageError) {
        std::fprintf(stderr, "qorx-demo: %s\nTry 'qorx-demo --help'.\n", options.problem.c_str());
        return UsageError;
    }
    AssetFolder assets;
    if (!assets.locate(options.assetsFolder)) {
        std::fprintf(stderr, "qorx-demo: %s\n", assets.problem.c_str());
        if (options.action == DemoOptions::Record)
            return RecordingFailed;
        ErrorReporter().fatalError("Error cargando la textura");
    }
    return options.action == DemoOptions::Record ? recordDemo(options, assets) : showDemo(options, assets);
}
