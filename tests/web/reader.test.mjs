// The browser reader in headless Chromium, driven as a reader drives it:
// the opening sequence, choices by click and by key, a typed answer, a chance
// roll, the restart page, the Sounds screen, the Yes/No of starting again, a
// reload that resumes, and records that are not ours. Screenshots of the
// same pages as the desktop suites go to build/screenshots/web.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import * as h from './harness.mjs';

let server;
let url;
let browser;

before(async () => {
  ({ server, url } = await h.serve());
  browser = await h.launch();
});

after(async () => {
  await browser?.close();
  server?.close();
});

// A page of its own (and so a localStorage of its own origin, emptied).
async function freshPage(record = null) {
  const page = await h.openPage(browser);
  await h.store(page, url, record);
  return page;
}

async function waitForText(page, fragment) {
  await page.waitForFunction(
    (text) => document.getElementById('page-text').textContent.includes(text), {}, fragment);
}

// Waits until the page shows other text than `text` (as h.pageText reads it).
async function waitForNewText(page, text) {
  await page.waitForFunction((old) => [...document.querySelectorAll('#page-text p')]
    .map((line) => line.textContent).join('\n') !== old, {}, text);
}

async function waitForPosition(page, position) {
  await page.waitForFunction((name, expected) => {
    const value = localStorage.getItem(name);
    if (value === null) return false;
    const bytes = Uint8Array.from(atob(value), (c) => c.charCodeAt(0));
    return (bytes[0] | (bytes[1] << 8)) === expected;
  }, {}, h.SAVE_FILE, position);
}

function noProblems(page) {
  assert.deepEqual(page.problems, [], 'the console stays clean');
}

// The generator of the desktop readers: seeded with the tick count / 60,
// then stepped once for each draw.
function firstRoll(tickCount, sides) {
  const state = (Math.imul(Math.floor(tickCount / 60), 214013) + 2531011) >>> 0;
  return ((state >>> 16) & 0x7fff) % sides + 1;
}

test('the opening sequence, help, the first page, a choice by click and one by key, the restart page', async () => {
  const page = await freshPage();
  // The first screen stays two seconds: it is photographed as soon as its
  // picture has arrived.
  await h.openReader(page, url, false);
  assert.match(await h.pageText(page), /Presents/);
  await page.waitForFunction(() => performance.getEntriesByType('resource')
    .some((entry) => entry.name.endsWith('/1100.bmp')));
  await h.screenshot(page, '01-presents', false);
  await waitForText(page, 'Lanthorn Fell');
  await h.screenshot(page, '02-title');
  await page.waitForSelector('button.screen-button:not([hidden])', { timeout: 5000 });
  await h.screenshot(page, '03-details');

  await page.click('button.screen-button');  // "INSTRUCTIONS"
  await waitForText(page, 'function is available');
  await h.screenshot(page, '04-help');

  // The icon bar's buttons are named as the program names them; Rtrn goes
  // back to the story, whose first page is page 2.
  await page.click('aria/Rtrn');
  await page.waitForFunction(() => document.querySelectorAll('#controls button.choice').length > 0);
  assert.equal(await h.readingPosition(page), 2);
  assert.equal(await page.$eval('[aria-label="Next"]', (b) => b.disabled), true, 'no Next here');
  await h.screenshot(page, '05-story');

  // The accessibility tree names every choice with its label.
  const labels = await h.choices(page);
  assert.ok(labels.length >= 1);
  const tree = await page.accessibility.snapshot();
  const named = [];
  (function walk(node) {
    if (node.role === 'button') named.push(node.name);
    for (const child of node.children || []) walk(child);
  })(tree);
  for (const label of labels) assert.ok(named.includes(label), `"${label}" is named in the tree`);
  for (const name of ['Menu', '?', 'Rstrt', 'Info', 'Rtrn', 'Prev', 'Next']) {
    assert.ok(named.includes(name), `the ${name} button is named`);
  }
  const texts = [];
  (function walk(node) {
    if (node.name) texts.push(node.name);
    for (const child of node.children || []) walk(child);
  })(tree);
  const firstLine = (await h.pageText(page)).split('\n')[0];
  assert.ok(texts.includes(firstLine), `the page's text "${firstLine}" is in the tree`);

  // The page's choice lies below the page area: End scrolls down to it.
  assert.equal(await page.$eval('#controls button.choice', (b) => b.classList.contains('off-page')), true);
  await page.keyboard.press('End');
  await page.waitForFunction(() => !document.querySelector('#controls button.choice').classList.contains('off-page'));
  assert.ok(await page.$eval('#scroll-bar', (bar) => bar.scrollTop) > 0, 'the scroll bar follows');
  // A choice by click...
  const before = await h.pageText(page);
  await page.click('#controls button.choice');
  await waitForNewText(page, before);
  const afterClick = await h.readingPosition(page);
  assert.notEqual(afterClick, 2);
  // ...and one by key: 1 picks the page's first choice.
  const second = await h.pageText(page);
  await page.keyboard.press('1');
  await waitForNewText(page, second);
  assert.notEqual(await h.readingPosition(page), afterClick);

  // The restart page opens as an aside and Return goes back to the story.
  const position = await h.readingPosition(page);
  const story = await h.pageText(page);
  await page.click('aria/Rstrt');
  await waitForText(page, 'Going Back');
  assert.equal(await page.$eval('[aria-label="Rtrn"]', (b) => b.disabled), false);
  await h.screenshot(page, '07-restart');
  await page.click('aria/Rtrn');
  await page.waitForFunction((text) => [...document.querySelectorAll('#page-text p')]
    .map((line) => line.textContent).join('\n') === text, {}, story);
  assert.equal(await h.readingPosition(page), position);
  noProblems(page);
  await page.close();
});

test('scrolling a long page: keys, the wheel and the scroll bar move the page and its controls', async () => {
  const page = await freshPage(h.makeRecord(63));  // then to page 2 by starting again
  await h.openReader(page, url);
  await page.click('#menu-button');
  await page.click('aria/Start at the Beginning[role="menuitem"]');
  await page.click('aria/Yes');
  await waitForText(page, 'The Longest Night');
  assert.equal(await page.title(), 'Lanthorn Fell', 'the page is named after the book');
  const bar = await page.$('#scroll-bar');
  const choiceTop = () => page.$eval('#controls button.choice', (b) => parseInt(b.style.top, 10));
  const top = await choiceTop();
  const scrolled = (position) => page.waitForFunction((p) =>
    Math.round(document.getElementById('scroll-bar').scrollTop) === p, {}, position);

  await page.keyboard.press('ArrowDown');  // a line is 16 pixels
  await scrolled(16);
  assert.equal(await choiceTop(), top - 16);
  await page.mouse.move(200, 300);
  await page.mouse.wheel({ deltaY: 48 });  // three lines
  await scrolled(64);
  assert.equal(await choiceTop(), top - 64);
  await bar.evaluate((element) => { element.scrollTop = 100; });  // the thumb dragged
  await page.waitForFunction((t) => parseInt(document.querySelector('#controls button.choice').style.top, 10) === t,
    {}, top - 100);
  await page.keyboard.press('Home');
  await scrolled(0);
  assert.equal(await choiceTop(), top);
  await page.keyboard.press('ArrowUp');  // at the top already: nothing moves
  assert.equal(await choiceTop(), top);
  noProblems(page);
  await page.close();
});

test('a typed answer: the box takes the longest answer, and Enter hands it over', async () => {
  const page = await freshPage(h.makeRecord(222));  // "Dobson's Door"
  await h.openReader(page, url);
  await waitForText(page, 'Dobson');
  const box = await page.waitForSelector('input.answer:not([hidden])');
  assert.equal(await box.evaluate((input) => input.maxLength), 19);  // "agnes thwaite      "
  assert.equal(await box.evaluate((input) => document.activeElement === input), true);
  await h.screenshot(page, '06-input');
  await page.keyboard.type('Agnes');
  await page.keyboard.press('Enter');
  await waitForPosition(page, 224);
  await waitForText(page, 'Dobson’s Fire');
  noProblems(page);
  await page.close();
});

test('a chance roll is seeded from the tick count as on the desktop', async () => {
  // "Chance a look in a minute or two": 1-50 leads to 87, 51-80 to 88, else 89.
  const ticks = [];
  for (let t = 0; ticks.length < 2; t += 60) {
    const roll = firstRoll(t, 100);
    if (ticks.length === 0 && roll <= 50) ticks.push(t);
    if (ticks.length === 1 && roll > 80) ticks.push(t);
  }
  for (const [tick, expected] of [[ticks[0], 88], [ticks[1], 90]]) {
    const page = await freshPage(h.makeRecord(87));
    await page.evaluateOnNewDocument((t) => { Date.now = () => t; }, tick);
    await h.openReader(page, url);
    await waitForText(page, 'The Parlour Window');
    await page.click('aria/Chance a look in a minute or two');
    await waitForPosition(page, expected);
    noProblems(page);
    await page.close();
  }
});

test('the Sounds screen keeps its setting in the record, across a reload', async () => {
  const page = await freshPage(h.makeRecord(11));
  await h.openReader(page, url);
  await page.click('#menu-button');
  await page.click('aria/Sounds[role="menuitem"]');
  const box = await page.waitForSelector('label.check input');
  assert.equal(await box.evaluate((input) => input.checked), true);
  await h.screenshot(page, '08-sounds');
  await box.click();
  await page.click('aria/Ok');
  await page.waitForFunction(() => document.querySelector('label.check') === null);
  assert.equal((await h.record(page))[2], 0, 'sound is off in the record');
  assert.equal(await h.readingPosition(page), 11);

  await page.reload();
  await page.waitForFunction(() => performance.getEntriesByName('lanthorn-first-page').length > 0);
  // The menu by keyboard: Enter opens it, S picks "&Sounds".
  await page.focus('#menu-button');
  await page.keyboard.press('Enter');
  await page.keyboard.press('s');
  const again = await page.waitForSelector('label.check input');
  assert.equal(await again.evaluate((input) => input.checked), false);
  noProblems(page);
  await page.close();
});

test('sounds wait for the first gesture, then play from the book\'s WAVE files', async () => {
  const page = await freshPage(h.makeRecord(148));  // "The Horse Level" plays a sound
  await page.evaluateOnNewDocument(() => {
    window.soundsStarted = 0;
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (...args) {
      window.soundsStarted += 1;
      return start.apply(this, args);
    };
  });
  await h.openReader(page, url);
  await waitForText(page, 'The Horse Level');
  assert.equal(await page.evaluate(() => window.soundsStarted), 0, 'silent before a gesture');
  // A gesture (a click on the Info button), then the page again: its sound plays.
  await page.click('aria/Info');
  await page.click('aria/Rtrn');
  await page.waitForFunction(() => window.soundsStarted > 0);
  noProblems(page);
  await page.close();
});

test('starting again asks Yes or No in a modal dialog', async () => {
  const page = await freshPage(h.makeRecord(87));
  await h.openReader(page, url);
  await waitForText(page, 'The Parlour Window');
  await page.click('#menu-button');
  await page.click('aria/Start at the Beginning[role="menuitem"]');
  const dialog = await page.waitForSelector('dialog[open]');
  assert.equal(await dialog.evaluate((d) => d.querySelector('p').textContent), 'Do you really want to start again?');
  assert.equal(await dialog.evaluate((d) => d.querySelector('h2').textContent), 'Beginning of Book');
  assert.equal(await dialog.evaluate((d) => d.matches(':modal')), true);
  await page.click('aria/No');
  await page.waitForFunction(() => !document.querySelector('dialog').open);
  assert.equal(await h.readingPosition(page), 87);

  await page.click('#menu-button');
  await page.click('aria/Start at the Beginning[role="menuitem"]');
  await page.waitForSelector('dialog[open]');
  await page.click('aria/Yes');
  await waitForPosition(page, 2);
  noProblems(page);
  await page.close();
});

test('a reload resumes on the same page with the same items', async () => {
  const page = await freshPage(h.makeRecord(63));  // the cottage kitchen
  await h.openReader(page, url);
  for (let step = 0; step < 3; ++step) {
    const text = await h.pageText(page);
    await page.keyboard.press('1');
    await waitForNewText(page, text);
  }
  const saved = await h.record(page);
  const text = await h.pageText(page);
  const labels = await h.choices(page);
  assert.ok(saved.some((byte, i) => i >= 38 && i < 38 + 20 * 52 && byte !== 0), 'some item is set');

  await page.reload();
  await page.waitForFunction(() => performance.getEntriesByName('lanthorn-first-page').length > 0);
  assert.equal(await h.pageText(page), text);
  assert.deepEqual(await h.choices(page), labels);
  assert.deepEqual(await h.record(page), saved);
  noProblems(page);
  await page.close();
});

test('a record that is not ours starts a new game without a word', async () => {
  const foreign = h.makeRecord(200);
  foreign.writeUInt32LE(175, 28);  // another format
  for (const value of ['not a record at all!', h.makeRecord(200).subarray(0, 100), foreign]) {
    const page = await freshPage(value);
    await h.openReader(page, url);
    await waitForText(page, 'Presents');
    // The record, then the journal that keeps a save cut short from loading.
    const bytes = await h.record(page);
    assert.equal(bytes.length, h.SAVE_FILE_SIZE);
    assert.equal(bytes.readInt16LE(0), 2);
    assert.equal(bytes.readUInt32LE(28), 176);
    assert.equal(bytes[2], 1, 'sound on');
    assert.equal(await page.$('dialog[open]'), null);
    noProblems(page);
    await page.close();
  }
});
