#include "demo/RunDemo.h"

#include "qorx/image/Texture.h"
#include "qorx/window/ErrorReporter.h"
#include "qorx/window/GlWindow.h"
#include "qorx/window/Keyboard.h"

#include <windows.h>

#include <GL/gl.h>
#include <fmod.h>

#include <cstdint>

// The clock and the speed are stored as floats but every formula is worked out
// in double precision from the stored values, and rounded to float only where
// it is stored or handed to OpenGL. The frame counts of the scenes (630 and
// 1115 frames) depend on exactly this, so keep the static_casts to double.
namespace {

const int32_t EscapeKey = 27;
const int32_t ScreenWidth = 800;
const int32_t ScreenHeight = 600;
const int32_t ScreenBits = 16;

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
// the scenes after this one end before drawing anything.
void runScene(const SceneRules& rules, float& clock, float& speed, GlWindow& window, const Keyboard& keyboard)
{
    while (!keyboard.isDown(EscapeKey)) {
        const double c = clock;
        if (rules.endsByClock && !(c * -23 < rules.endBound))
            return;
        // Not clamped: OpenGL clamps every value from 1 upwards to opaque.
        const float opacity = static_cast<float>((c - rules.opacityOrigin) * rules.opacityFactor);
        window.clear();
        drawQuad(clock, opacity);
        presentFrame(rules, window);
        clock = static_cast<float>(c - (static_cast<double>(speed) + rules.step));
        speed = static_cast<float>(static_cast<double>(speed) + rules.growth);
    }
}

void startSound()
{
    FSOUND_SetOutput(SoundOutput);
    FSOUND_SetMixer(SoundMixer);
    FSOUND_Init(MixRate, SoundChannels, SoundInitFlags);
}

void openWindow(GlWindow& window, ErrorReporter& errorReporter)
{
    if (window.registerClass())
        errorReporter.fatalError("Error inicializando libreria");
    window.setFullscreen();
    if (window.open(ScreenWidth, ScreenHeight, ScreenBits, "hola! gl abierta!"))
        errorReporter.fatalError("Error iniciando modo de video");
}

// The display mode is given back before the box is shown, so the message
// appears on the user's own desktop.
void loadTexture(Texture& texture, const char* path, GlWindow& window, ErrorReporter& errorReporter)
{
    texture.setMipmaps(true);
    if (!texture.load(path)) {
        window.shutdown();
        errorReporter.fatalError("Error cargando la textura");
    }
}

// A missing or unplayable soundtrack leaves the presentation silent.
void startMusic()
{
    FSOUND_STREAM* stream = FSOUND_Stream_OpenMpeg("larkspin.mp3", SoundtrackMode);
    FSOUND_Stream_Play(AnyFreeChannel, stream);
}

} // namespace

int runDemo()
{
    GlWindow window;
    Keyboard keyboard;
    ErrorReporter errorReporter;
    Texture stormledge;
    Texture mirk;
    Texture fin;
    float speed = 0;
    float clock = 0;

    startSound();
    openWindow(window, errorReporter);
    loadTexture(stormledge, "stormledge.jpg", window, errorReporter);
    loadTexture(mirk, "mirk.jpg", window, errorReporter);
    loadTexture(fin, "fin.jpg", window, errorReporter);
    startMusic();
    glBindTexture(GL_TEXTURE_2D, stormledge.id);
    glEnable(GL_BLEND);

    runScene(StormScene, clock, speed, window, keyboard);

    glBindTexture(GL_TEXTURE_2D, mirk.id);
    clock = 1;
    glDisable(GL_CULL_FACE);
    runScene(MirkScene, clock, speed, window, keyboard);

    glBindTexture(GL_TEXTURE_2D, fin.id);
    clock = 0;
    runScene(FinScene, clock, speed, window, keyboard);

    window.shutdown();
    return 0;
}
