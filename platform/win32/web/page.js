// The page side of the web layer: the canvas and its WebGL context, the
// animation frames, keys, full screen, the message box and the end line. The
// C++ side (platform/win32/web) calls these; index.html lays out the elements
// they show (#canvas, #box, #box-caption, #box-text, #box-ok, #end, #again).
mergeInto(LibraryManager.library, {
  $QorxPage: {
    keys: [],
    // The animation frame that may carry the next picture: frames come no
    // closer than 1/60 s on average, whatever the screen's rate.
    nextDue: 0,
    wasFullscreen: false,
    endReason: '',
    frameStep: 1000 / 60,
    // rAF times jitter by a fraction of a millisecond around the screen's
    // period; a frame this early still counts as on time.
    frameSlack: 2,

    status: function() {
      if (!window.qorx) window.qorx = {frames: 0, state: 'waiting', exitCode: null, soundSamples: function() { return null; }};
      return window.qorx;
    },

    element: function(id) { return document.getElementById(id); },

    // Carries the program on from a browser callback. The program's exit
    // unwinds as an ExitStatus, which is its end and no error.
    resume: function(wakeUp, value) {
      try {
        wakeUp(value);
      } catch (error) {
        if (!(error instanceof ExitStatus)) throw error;
      }
    },

    // The drawing buffer at the device's own resolution.
    fitCanvas: function() {
      var canvas = Module['canvas'];
      var ratio = window.devicePixelRatio || 1;
      var width = Math.max(1, Math.round(canvas.clientWidth * ratio));
      var height = Math.max(1, Math.round(canvas.clientHeight * ratio));
      if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
        return true;
      }
      return false;
    },

    onKey: function(event, message) {
      QorxPage.keys.push(message, event.keyCode & 0xFF);
      // Keys that would scroll or leave the page are the presentation's.
      if (event.keyCode === 27 || event.keyCode === 32 || (event.keyCode >= 33 && event.keyCode <= 40))
        event.preventDefault();
    },

    // Browsers keep Escape for leaving full screen, so leaving it is Escape.
    onFullscreenChange: function() {
      var inside = !!document.fullscreenElement;
      if (QorxPage.wasFullscreen && !inside) {
        QorxPage.endReason = 'left full screen';
        QorxPage.keys.push(0x0100, 27);
      }
      QorxPage.wasFullscreen = inside;
    },

    onExit: function(code) {
      var status = QorxPage.status();
      status.state = 'ended';
      status.exitCode = code;
      var end = QorxPage.element('end');
      var how;
      if (code === -1 || code === 255)
        how = 'The presentation ended after an error.';
      else if (QorxPage.endReason)
        how = 'The presentation ended (' + QorxPage.endReason + ').';
      else
        how = 'The presentation ended with exit code ' + code + '.';
      if (end) {
        var line = QorxPage.element('end-line');
        (line || end).textContent = how;
        end.hidden = false;
      }
      if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function() {});
    },
  },

  qorx_page_start__deps: ['$QorxPage'],
  qorx_page_start: function() {
    var status = QorxPage.status();
    status.state = 'running';
    status.frames = 0;
    window.addEventListener('keydown', function(event) {
      if (event.keyCode === 27 && !QorxPage.endReason) QorxPage.endReason = 'Escape';
      QorxPage.onKey(event, 0x0100);
    });
    window.addEventListener('keyup', function(event) { QorxPage.onKey(event, 0x0101); });
    document.addEventListener('fullscreenchange', QorxPage.onFullscreenChange);
    var previous = Module['onExit'];
    Module['onExit'] = function(code) {
      QorxPage.onExit(code);
      if (previous) previous(code);
    };
  },

  qorx_page_set_title__deps: ['$QorxPage'],
  qorx_page_set_title: function(title) {
    document.title = UTF8ToString(title);
  },

  qorx_page_create_context__deps: ['$QorxPage', '$Browser'],
  qorx_page_create_context: function(depthBits) {
    QorxPage.fitCanvas();
    // Made through emscripten's own path, which also sets up the state of
    // its OpenGL 1.1 emulation.
    var ctx = Browser.createContext(Module['canvas'], true, true,
                                    {antialias: false, alpha: false, depth: depthBits > 0, stencil: false,
                                     majorVersion: 1, minorVersion: 0});
    return ctx ? 1 : 0;
  },

  // The canvas follows the window (a resize, full screen); 1 when it changed.
  qorx_page_fit_canvas__deps: ['$QorxPage'],
  qorx_page_fit_canvas: function() { return QorxPage.fitCanvas() ? 1 : 0; },

  qorx_page_canvas_width: function() { return Module['canvas'].width; },
  qorx_page_canvas_height: function() { return Module['canvas'].height; },

  // 1 when the page asked for full screen (only a page the user has just
  // touched may); the change itself comes later.
  qorx_page_enter_fullscreen: function() {
    var root = document.documentElement;
    var active = !navigator.userActivation || navigator.userActivation.isActive;
    if (!document.fullscreenEnabled || !root.requestFullscreen || !active) return 0;
    root.requestFullscreen({navigationUI: 'hide'}).catch(function() {});
    return 1;
  },

  qorx_page_leave_fullscreen: function() {
    if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function() {});
  },

  qorx_page_show_cursor: function(show) {
    Module['canvas'].style.cursor = show ? '' : 'none';
  },

  // The next key message as (message << 8) | virtual-key code, or 0.
  qorx_page_take_key__deps: ['$QorxPage'],
  qorx_page_take_key: function() {
    if (QorxPage.keys.length === 0) return 0;
    var message = QorxPage.keys.shift();
    var key = QorxPage.keys.shift();
    return (message << 8) | key;
  },

  // Hands the frame to the browser and comes back on the animation frame
  // that may show the next; past the frame a test asked to stop at, never.
  qorx_page_present__deps: ['$QorxPage', '$Asyncify'],
  // (Asyncify calls an import twice, going out and coming back; only what
  // handleSleep's function does happens once.)
  qorx_page_present: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      var status = QorxPage.status();
      status.frames++;
      var pauseAt = Module['pauseAt'];
      if (pauseAt && status.frames >= pauseAt) return;
      function onFrame(now) {
        if (now < QorxPage.nextDue - QorxPage.frameSlack) {
          requestAnimationFrame(onFrame);
          return;
        }
        QorxPage.nextDue = now - QorxPage.nextDue > QorxPage.frameStep ? now + QorxPage.frameStep
                                                                        : QorxPage.nextDue + QorxPage.frameStep;
        if (status.frameTimes) status.frameTimes.push(now);
        QorxPage.resume(wakeUp, 0);
      }
      requestAnimationFrame(onFrame);
    });
  },

  // The page's modal box; comes back when OK is pressed.
  qorx_page_message_box__deps: ['$QorxPage', '$Asyncify'],
  qorx_page_message_box: function(text, caption) {
    return Asyncify.handleSleep(function(wakeUp) {
      var status = QorxPage.status();
      var box = QorxPage.element('box');
      var textValue = UTF8ToString(text), captionValue = UTF8ToString(caption);
      if (!box) {
        console.error(captionValue + ': ' + textValue);
        wakeUp(1);
        return;
      }
      QorxPage.wasFullscreen = false;
      if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function() {});
      QorxPage.element('box-caption').textContent = captionValue;
      QorxPage.element('box-text').textContent = textValue;
      var ok = QorxPage.element('box-ok');
      var previousState = status.state;
      status.state = 'box';
      function dismiss() {
        ok.removeEventListener('click', dismiss);
        box.hidden = true;
        if (box.close) box.close();
        status.state = previousState;
        QorxPage.resume(wakeUp, 1);
      }
      ok.addEventListener('click', dismiss);
      // Escape would close a dialog without its OK.
      box.addEventListener('cancel', function(event) { event.preventDefault(); });
      box.hidden = false;
      if (box.showModal && !box.open) box.showModal();
      ok.focus();
    });
  },
});
