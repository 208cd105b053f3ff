// The browser reader's page: the window system that the program (lanthorn.js
// and lanthorn.wasm, the same core as the desktop readers) runs in. The page
// is painted on a canvas; choices, answer boxes, the icon bar, the menu and
// message boxes are ordinary DOM elements, so that the keyboard, focus and
// screen readers work with them as with any web page. The program reaches
// this script through `Module.ui`; the page reaches the program through its
// exported functions, one event at a time.
'use strict';

(function () {
  // The bundled face (DejaVu Sans, cut to Windows-1252), under a name of its
  // own so that a copy installed on the machine is never used instead.
  const FAMILY = 'Lanthorn Sans';
  const FACES = [
    ['assets/fonts/DejaVuSans.woff2', '400'],
    ['assets/fonts/DejaVuSans-Bold.woff2', '700'],
  ];
  // The default font (answer boxes, screen buttons, the base line height).
  const DEFAULT_SIZE = 14;
  const SCROLL_BAR_WIDTH = 17;
  const ICON_BAR_HEIGHT = 25;
  const SAVE_FILE = 'TBV2lanthornfell.dat';

  // The menu. "&Exit" is left out: a page is closed with the browser, and
  // the reader's place is kept after every move.
  const MENU = [
    ['Start at the &Beginning', 500],
    ['&Information', 501],
    ['&Restart', 502],
    ['&Objective', 503],
    ['&Sounds', 504],
    ['&Hints', 506],
    ['&About ...', 507],
    ['&Credits', 508],
  ];

  // Control kinds, as the program numbers them.
  const CHOICE = 0;
  const TEXT_BUTTON = 1;
  const BITMAP_BUTTON = 2;
  const CHECK_BOX = 3;
  const EDIT_BOX = 4;
  const EDIT_ENTERED = 0x501;
  // Message box styles and replies.
  const YES_NO = 4;
  const REPLY_OK = 1;
  const REPLY_YES = 6;
  const REPLY_NO = 7;
  // Scroll bar requests and the keys that scroll.
  const LINE_UP = 0;
  const LINE_DOWN = 1;
  const THUMB_TRACK = 5;
  const SCROLL_KEYS = { PageUp: 0, PageDown: 1, End: 2, Home: 3, ArrowUp: 4, ArrowDown: 5 };
  // Text drawing flags.
  const DRAW_CENTRE = 0x1;
  const DRAW_RIGHT = 0x2;
  const DRAW_VERTICAL_CENTRE = 0x4;

  const $ = (id) => document.getElementById(id);
  const readerElement = $('reader');
  const menuButton = $('menu-button');
  const menu = $('menu');
  const windowElement = $('window');
  const page = $('page');
  const canvas = $('canvas');
  const pageText = $('page-text');
  const controlLayer = $('controls');
  const iconBar = $('icon-bar');
  const scrollBar = $('scroll-bar');
  const scrollExtent = $('scroll-extent');
  const dialog = $('message');
  const ctx = canvas.getContext('2d');

  let started = false;
  let ended = false;
  let clientWidth = 0;
  let clientHeight = 0;
  let scale = 1;

  // --- Events into the program, one at a time ---------------------------
  // An event may leave the program waiting in a message box; the events
  // that come meanwhile wait their turn.
  let queue = Promise.resolve();
  function dispatch(name, ...args) {
    if (!started || ended) return queue;
    queue = queue
      .then(() => {
        const begin = performance.now();
        return Promise.resolve(
          Module.ccall(name, null, args.map(() => 'number'), args, { async: true }),
        ).then(() => {
          performance.measure('lanthorn-event', { start: begin, end: performance.now(), detail: name });
          settle();
        });
      })
      .catch((error) => console.error(error));
    return queue;
  }
  const command = (id, notification = 0) => dispatch('lanthorn_command', id, notification);

  // After an event: focus that went with a destroyed control comes back to
  // the page, so that Tab goes on from there.
  function settle() {
    if (document.activeElement === document.body || document.activeElement === null) {
      windowElement.focus({ preventScroll: true });
    }
  }

  // --- Text ---------------------------------------------------------------
  const metricsCache = new Map();
  function fontOf(pixelHeight, bold) {
    const size = pixelHeight > 0 ? pixelHeight : DEFAULT_SIZE;
    return `${bold ? 'bold' : 'normal'} ${size}px "${FAMILY}"`;
  }
  function metrics(pixelHeight, bold) {
    const font = fontOf(pixelHeight, bold);
    let m = metricsCache.get(font);
    if (!m) {
      ctx.font = font;
      const measured = ctx.measureText('Hg');
      const ascent = Math.ceil(measured.fontBoundingBoxAscent);
      const descent = Math.ceil(measured.fontBoundingBoxDescent);
      m = { ascent, height: ascent + descent };
      metricsCache.set(font, m);
    }
    return m;
  }
  function measureText(pixelHeight, bold, text) {
    ctx.font = fontOf(pixelHeight, bold);
    return Math.round(ctx.measureText(text).width);
  }

  // --- Bitmaps --------------------------------------------------------------
  const bitmaps = new Map();
  const bitmapUrl = (id) => `assets/bitmaps/${id}.bmp`;
  function bitmap(id) {
    let entry = bitmaps.get(id);
    if (!entry) {
      const image = new Image();
      entry = { image, ready: false };
      bitmaps.set(id, entry);
      image.src = bitmapUrl(id);
      image.decode().then(
        () => {
          entry.ready = true;
          dispatch('lanthorn_repaint');
        },
        () => console.warn(`bitmap ${id} could not be loaded`),
      );
    }
    return entry;
  }

  // --- Painting -----------------------------------------------------------
  // What a paint draws is also kept as text inside the canvas, where screen
  // readers find it: one paragraph for each line of the page.
  let drawn = [];
  let pageTextNow = '';
  function beginPaint() {
    ctx.setTransform(scale, 0, 0, scale, 0, 0);
    ctx.fillStyle = '#fff';
    ctx.fillRect(0, 0, clientWidth, clientHeight);
    drawn = [];
  }
  function drawString(pixelHeight, bold, left, top, right, bottom, text, flags) {
    const m = metrics(pixelHeight, bold);
    ctx.save();
    ctx.beginPath();
    ctx.rect(left, top, right - left, bottom - top);
    ctx.clip();
    ctx.font = fontOf(pixelHeight, bold);
    ctx.fillStyle = '#000';
    ctx.textBaseline = 'alphabetic';
    let x = left;
    ctx.textAlign = 'left';
    if (flags & DRAW_CENTRE) {
      ctx.textAlign = 'center';
      x = (left + right) / 2;
    } else if (flags & DRAW_RIGHT) {
      ctx.textAlign = 'right';
      x = right;
    }
    const y = flags & DRAW_VERTICAL_CENTRE
      ? top + Math.floor((bottom - top - m.height) / 2) + m.ascent
      : top + m.ascent;
    ctx.fillText(text, x, y);
    ctx.restore();
    drawn.push({ top, bottom, left, text });
  }
  function frameRect(left, top, right, bottom) {
    ctx.save();
    ctx.strokeStyle = '#000';
    ctx.lineWidth = 1;
    ctx.strokeRect(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
    ctx.restore();
  }
  function invertRect(left, top, right, bottom) {
    ctx.save();
    ctx.globalCompositeOperation = 'difference';
    ctx.fillStyle = '#fff';
    ctx.fillRect(left, top, right - left, bottom - top);
    ctx.restore();
  }
  function drawBitmap(id, x, y) {
    const entry = bitmap(id);
    if (entry.ready) ctx.drawImage(entry.image, x, y);
  }
  // Lines that follow one another without a gap make one paragraph.
  function endPaint() {
    const lines = new Map();
    for (const piece of drawn.sort((a, b) => a.top - b.top || a.left - b.left)) {
      const line = lines.get(piece.top) || { text: '', bottom: piece.bottom };
      line.text += piece.text;
      line.bottom = Math.max(line.bottom, piece.bottom);
      lines.set(piece.top, line);
    }
    const texts = [];
    let lastBottom = null;
    for (const [top, line] of lines) {
      const text = line.text.trim();
      if (text === '') continue;
      if (lastBottom !== null && top <= lastBottom) {
        texts[texts.length - 1] += ` ${text}`;
      } else {
        texts.push(text);
      }
      lastBottom = line.bottom;
    }
    const joined = texts.join('\n');
    if (joined === pageTextNow) return;
    pageTextNow = joined;
    pageText.replaceChildren(...texts.map((line) => {
      const p = document.createElement('p');
      p.textContent = line;
      return p;
    }));
  }

  function setClientSize(width, height) {
    clientWidth = width;
    clientHeight = height;
    scale = window.devicePixelRatio || 1;
    canvas.width = Math.round(width * scale);
    canvas.height = Math.round(height * scale);
    canvas.style.width = `${width}px`;
    canvas.style.height = `${height}px`;
    page.style.width = `${width}px`;
    page.style.height = `${height}px`;
    scrollBar.style.height = `${height}px`;
    windowElement.style.width = `${width + SCROLL_BAR_WIDTH}px`;
    readerElement.style.width = `${width + SCROLL_BAR_WIDTH}px`;
  }

  // --- Controls -----------------------------------------------------------
  const controls = new Map(); // handle -> { element, kind, id, x, y, width, height, input }
  function place(control) {
    const style = control.element.style;
    style.left = `${control.x}px`;
    style.top = `${control.y}px`;
    style.width = `${control.width}px`;
    style.height = `${control.height}px`;
  }
  function createControl(handle, kind, text, x, y, width, height, id, bitmapId) {
    let element;
    let input = null;
    switch (kind) {
      case CHOICE:
        element = document.createElement('button');
        element.type = 'button';
        element.className = 'choice';
        element.addEventListener('click', () => command(id));
        break;
      case TEXT_BUTTON:
        element = document.createElement('button');
        element.type = 'button';
        element.className = 'screen-button';
        element.textContent = text;
        element.addEventListener('click', () => command(id));
        break;
      case BITMAP_BUTTON: {
        element = document.createElement('button');
        element.type = 'button';
        element.className = 'icon';
        element.setAttribute('aria-label', text);
        element.title = text;
        const face = document.createElement('img');
        face.alt = '';
        element.append(face);
        element.addEventListener('click', () => command(id));
        break;
      }
      case CHECK_BOX: {
        element = document.createElement('label');
        element.className = 'check';
        input = document.createElement('input');
        input.type = 'checkbox';
        input.addEventListener('click', () => command(id));
        element.append(input, document.createTextNode(text));
        break;
      }
      default: // EDIT_BOX
        element = input = document.createElement('input');
        element.type = 'text';
        element.className = 'answer';
        element.autocomplete = 'off';
        element.spellcheck = false;
        element.setAttribute('aria-label', 'Answer');
        element.addEventListener('keydown', (event) => {
          // Tab or Enter hands the answer to the program; Up and Down scroll.
          if (event.key === 'Enter' || event.key === 'Tab') {
            event.preventDefault();
            command(id, EDIT_ENTERED);
          } else if (event.key === 'ArrowUp' || event.key === 'ArrowDown') {
            event.preventDefault();
            dispatch('lanthorn_scroll', event.key === 'ArrowUp' ? LINE_UP : LINE_DOWN, 0);
          }
        });
        break;
    }
    element.dataset.controlId = String(id);
    const control = { element, kind, id, x, y, width, height, input };
    controls.set(handle, control);
    place(control);
    (kind === BITMAP_BUTTON ? iconBar : controlLayer).append(element);
    if (kind === BITMAP_BUTTON && bitmapId) setFaceBitmap(handle, bitmapId);
  }
  function destroyControl(handle) {
    const control = controls.get(handle);
    if (!control) return;
    control.element.remove();
    controls.delete(handle);
  }
  function moveControl(handle, x, y, width, height) {
    const control = controls.get(handle);
    if (!control) return;
    Object.assign(control, { x, y, width, height });
    place(control);
  }
  function scrollControls(dy, top, bottom) {
    for (const control of controls.values()) {
      if (control.kind === BITMAP_BUTTON) continue; // the icon bar stays
      if (control.y + control.height > top && control.y < bottom) {
        control.y += dy;
        place(control);
      }
    }
  }
  // The program hides a page control that the page area does not hold. In
  // the browser it stays where the program put it, clipped out of sight but
  // still in the page's tab order and accessibility tree; focusing it scrolls
  // the page until it is in view.
  function showControl(handle, visible) {
    const control = controls.get(handle);
    if (!control) return;
    if (control.kind === BITMAP_BUTTON) {
      control.element.hidden = !visible;
    } else {
      control.element.classList.toggle('off-page', !visible);
    }
  }
  controlLayer.addEventListener('focusin', (event) => {
    const control = [...controls.values()].find((c) => c.element.contains(event.target));
    if (!control || !control.element.classList.contains('off-page')) return;
    const pageBottom = clientHeight - ICON_BAR_HEIGHT;
    const below = control.y + control.height - pageBottom;
    const delta = control.y < 0 ? control.y : below > 0 ? below + 1 : 0;
    if (delta !== 0) dispatch('lanthorn_scroll', THUMB_TRACK, Math.max(0, scrollSetTo + delta));
  });
  function enableControl(handle, enabled) {
    const control = controls.get(handle);
    if (!control) return;
    (control.input || control.element).disabled = !enabled;
  }
  function focusControl(handle) {
    const control = controls.get(handle);
    if (control) (control.input || control.element).focus({ preventScroll: true });
  }
  // The handle of the control that has the keyboard focus, or 0.
  function focusedControl() {
    for (const [handle, control] of controls) {
      const element = control.input || control.element;
      if (element === document.activeElement) return handle;
    }
    return 0;
  }
  function setFaceBitmap(handle, id) {
    const control = controls.get(handle);
    if (!control) return;
    let face = control.element.querySelector('img');
    if (!face) {
      face = document.createElement('img');
      face.alt = '';
      control.element.replaceChildren(face);
    }
    face.src = bitmapUrl(id);
  }
  function setFaceText(handle, pixelHeight, bold, text) {
    const control = controls.get(handle);
    if (!control) return;
    control.element.textContent = text;
    control.element.style.font = fontOf(pixelHeight, bold);
  }

  // --- The scroll bar -------------------------------------------------------
  // A native scrolling strip beside the page: its position is the program's
  // scroll position, pixel for pixel.
  let scrollSetTo = 0;
  function setScroll(maximum, pageSize, position) {
    const last = Math.max(0, maximum - Math.max(pageSize - 1, 0));
    scrollExtent.style.height = `${scrollBar.clientHeight + last}px`;
    scrollSetTo = position;
    scrollBar.scrollTop = position;
  }
  scrollBar.addEventListener('scroll', () => {
    const position = Math.round(scrollBar.scrollTop);
    if (position === scrollSetTo) return;
    scrollSetTo = position;
    dispatch('lanthorn_scroll', THUMB_TRACK, position);
  });
  // The wheel scrolls by the program's lines of 16 pixels; what is left of
  // a line is kept for the next turn of the wheel (a touchpad sends many
  // small ones).
  let wheelPixels = 0;
  page.addEventListener('wheel', (event) => {
    event.preventDefault();
    wheelPixels += event.deltaY * (event.deltaMode === 1 ? 16 : event.deltaMode === 2 ? clientHeight : 1);
    const lines = Math.trunc(wheelPixels / 16);
    wheelPixels -= lines * 16;
    for (let i = 0; i < Math.min(Math.abs(lines), 40); ++i) {
      dispatch('lanthorn_scroll', lines > 0 ? LINE_DOWN : LINE_UP, 0);
    }
  }, { passive: false });

  // --- Timer ----------------------------------------------------------------
  const timers = new Map();
  function startTimer(id, milliseconds) {
    stopTimer(id);
    timers.set(id, setTimeout(() => {
      timers.delete(id);
      dispatch('lanthorn_timer', id);
    }, milliseconds));
  }
  function stopTimer(id) {
    clearTimeout(timers.get(id));
    timers.delete(id);
  }

  // --- Sounds ---------------------------------------------------------------
  // Browsers let a page make sound only after the reader has done something
  // on it; until then a page's sounds are not played.
  let audio = null;
  const soundBuffers = new Map();
  let playing = null;
  let playCount = 0;
  function unlockAudio() {
    if (audio || typeof AudioContext === 'undefined') return;
    audio = new AudioContext();
  }
  for (const type of ['pointerdown', 'keydown', 'touchend']) {
    window.addEventListener(type, unlockAudio, { capture: true });
  }
  function soundBuffer(name) {
    let buffer = soundBuffers.get(name);
    if (!buffer) {
      buffer = fetch(`assets/sounds/${encodeURIComponent(name)}.wav`)
        .then((response) => {
          if (!response.ok) throw new Error(`sound ${name}: ${response.status}`);
          return response.arrayBuffer();
        })
        .then((bytes) => audio.decodeAudioData(bytes));
      soundBuffers.set(name, buffer);
    }
    return buffer;
  }
  function playWave(name) {
    if (!audio) return;
    stopSound();
    const mine = playCount;
    soundBuffer(name).then((buffer) => {
      if (mine !== playCount) return; // stopped or replaced meanwhile
      const source = audio.createBufferSource();
      source.buffer = buffer;
      source.connect(audio.destination);
      source.start();
      playing = source;
    }, (error) => console.warn(String(error)));
  }
  function stopSound() {
    ++playCount;
    if (playing) {
      playing.stop();
      playing = null;
    }
  }

  // --- The save file in localStorage ----------------------------------------
  // The record is kept as base64. A value that is not base64 is no record
  // at all, and the reader starts afresh.
  function decode(value) {
    if (typeof value !== 'string' || value.length % 4 !== 0 || !/^[A-Za-z0-9+/]*={0,2}$/.test(value)) {
      return null;
    }
    const text = atob(value);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes;
  }
  function stored(name) {
    try {
      return decode(localStorage.getItem(name));
    } catch (error) {
      return null; // storage is not open to this page
    }
  }
  let storageWarned = false;
  function storageWrite(name, bytes) {
    let text = '';
    for (const byte of bytes) text += String.fromCharCode(byte);
    try {
      localStorage.setItem(name, btoa(text));
      return 1;
    } catch (error) {
      if (!storageWarned) console.warn(`the reader's place cannot be kept: ${error.message}`);
      storageWarned = true;
      return 0;
    }
  }

  // --- Message boxes --------------------------------------------------------
  function messageBox(text, caption, style) {
    closeMenu(false);
    return new Promise((resolve) => {
      $('message-caption').textContent = caption === null ? document.title : caption;
      $('message-text').textContent = text;
      const answers = style === YES_NO ? [['Yes', REPLY_YES], ['No', REPLY_NO]] : [['OK', REPLY_OK]];
      const buttons = answers.map(([label, reply]) => {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = label;
        button.addEventListener('click', () => finish(reply));
        return button;
      });
      $('message-buttons').replaceChildren(...buttons);
      const escape = style === YES_NO ? REPLY_NO : REPLY_OK;
      const cancel = (event) => {
        event.preventDefault();
        finish(escape);
      };
      function finish(reply) {
        dialog.removeEventListener('cancel', cancel);
        dialog.close();
        resolve(reply);
      }
      dialog.addEventListener('cancel', cancel);
      dialog.showModal();
      buttons[0].focus();
    });
  }

  // --- The menu -------------------------------------------------------------
  const menuItems = MENU.map(([text, id]) => {
    const item = document.createElement('button');
    item.type = 'button';
    item.setAttribute('role', 'menuitem');
    item.tabIndex = -1;
    const mark = text.indexOf('&');
    item.dataset.key = text[mark + 1].toLowerCase();
    const letter = document.createElement('u');
    letter.textContent = text[mark + 1];
    item.append(text.slice(0, mark), letter, text.slice(mark + 2));
    item.addEventListener('click', () => {
      closeMenu(true);
      command(id);
    });
    return item;
  });
  menu.replaceChildren(...menuItems);
  function openMenu() {
    menu.hidden = false;
    menuButton.setAttribute('aria-expanded', 'true');
    menuItems[0].focus();
  }
  function closeMenu(refocus) {
    if (menu.hidden) return;
    menu.hidden = true;
    menuButton.setAttribute('aria-expanded', 'false');
    if (refocus) menuButton.focus();
  }
  menuButton.addEventListener('click', () => (menu.hidden ? openMenu() : closeMenu(true)));
  menu.addEventListener('keydown', (event) => {
    const at = menuItems.indexOf(document.activeElement);
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      const step = event.key === 'ArrowDown' ? 1 : menuItems.length - 1;
      menuItems[(at + step) % menuItems.length].focus();
    } else if (event.key === 'Home' || event.key === 'End') {
      event.preventDefault();
      menuItems[event.key === 'Home' ? 0 : menuItems.length - 1].focus();
    } else if (event.key === 'Escape') {
      event.preventDefault();
      closeMenu(true);
    } else if (event.key === 'Tab') {
      closeMenu(false);
    } else {
      const item = menuItems.find((candidate) => candidate.dataset.key === event.key.toLowerCase());
      if (item) {
        event.preventDefault();
        item.click();
      }
    }
    event.stopPropagation();
  });
  document.addEventListener('pointerdown', (event) => {
    if (!menu.hidden && !menu.contains(event.target) && event.target !== menuButton) closeMenu(false);
  });

  // --- Keys on the page -----------------------------------------------------
  // The scroll keys scroll the page; 1 to 9 pick the page's first to ninth
  // choice. Tab and Enter move between and press the page's buttons as on
  // any web page (in an answer box they hand over the answer).
  document.addEventListener('keydown', (event) => {
    if (!started || ended || dialog.open || event.defaultPrevented) return;
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    const target = event.target;
    if (target instanceof HTMLInputElement && target.type === 'text') return;
    if (event.key in SCROLL_KEYS) {
      event.preventDefault();
      dispatch('lanthorn_key', SCROLL_KEYS[event.key]);
    } else if (/^[1-9]$/.test(event.key)) {
      const choices = [...controls.values()]
        .filter((control) => control.kind === CHOICE)
        .sort((a, b) => a.id - b.id);
      const choice = choices[Number(event.key) - 1];
      if (choice && !choice.element.disabled) {
        event.preventDefault();
        choice.element.click();
      }
    }
  });

  // --- The space the page has -----------------------------------------------
  function available() {
    const height = window.innerHeight - menuButton.parentElement.offsetHeight;
    return [Math.max(0, window.innerWidth - SCROLL_BAR_WIDTH), Math.max(0, height)];
  }
  let resizePending = false;
  window.addEventListener('resize', () => {
    if (resizePending) return;
    resizePending = true;
    requestAnimationFrame(() => {
      resizePending = false;
      dispatch('lanthorn_resize', ...available());
    });
  });

  function endReader(exitCode) {
    ended = true;
    for (const element of readerElement.querySelectorAll('button, input')) element.disabled = true;
    readerElement.dataset.ended = String(exitCode);
  }

  function browserVersion() {
    const found = /(?:Chrome|Chromium|Firefox|Version)\/(\d+)\.(\d+)/.exec(navigator.userAgent);
    return found ? [Number(found[1]), Number(found[2])] : [0, 0];
  }

  // --- What the program calls -------------------------------------------------
  const ui = {
    messageBox,
    fontHeight: (pixelHeight, bold) => metrics(pixelHeight, bold).height,
    defaultWidth: () => Math.round(measureText(0, 0, 'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ') / 52),
    measureText,
    bitmapSize: (id) => (window.lanthornBitmapSizes || {})[id] || [0, 0],
    beginPaint,
    drawString,
    invertRect,
    frameRect,
    drawBitmap,
    endPaint,
    setClientSize,
    createControl,
    destroyControl,
    moveControl,
    scrollControls,
    showControl,
    enableControl,
    focusControl,
    focusedControl,
    setFaceBitmap,
    setFaceText,
    setTextLimit: (handle, characters) => {
      const control = controls.get(handle);
      if (control && control.input) control.input.maxLength = characters;
    },
    controlText: (handle) => {
      const control = controls.get(handle);
      return control && control.input ? control.input.value : '';
    },
    setCheck: (handle, checked) => {
      const control = controls.get(handle);
      if (control && control.input) control.input.checked = !!checked;
    },
    readCheck: (handle) => {
      const control = controls.get(handle);
      return control && control.input && control.input.checked ? 1 : 0;
    },
    setScroll,
    startTimer,
    stopTimer,
    playWave,
    stopSound,
    storageExists: (name) => (stored(name) === null ? 0 : 1),
    storageRead: (name) => stored(name) || new Uint8Array(0),
    storageWrite,
    tickCount: () => Date.now(),
    screenHeight: () => window.innerHeight,
    browserVersion,
    ended: endReader,
  };

  // --- Start-up ---------------------------------------------------------------
  let runtimeReady;
  const runtime = new Promise((resolve) => { runtimeReady = resolve; });
  window.Module = { ui, onRuntimeInitialized: () => runtimeReady() };

  function loadFonts() {
    return Promise.all(FACES.map(([url, weight]) => {
      const face = new FontFace(FAMILY, `url(${url}) format("woff2")`, { weight });
      document.fonts.add(face);
      return face.load();
    }));
  }

  Promise.all([loadFonts(), runtime])
    .then(() => {
      started = true;
      queue = queue
        .then(() => Module.ccall('lanthorn_start', 'number', ['number', 'number'], available(), { async: true }))
        .then(() => {
          performance.measure('lanthorn-first-page', { start: 0, end: performance.now() });
          settle();
        });
      return queue;
    })
    .catch((error) => console.error(error));
})();
