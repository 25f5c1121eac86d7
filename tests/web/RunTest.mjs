// One whole run of the page, watched through its frames as shown: scene 1 fading in
// and ending, scene 2 lasting its 1115 frames at 60 a second, Escape in
// scene 3 ending the presentation, and no uncaught error all along.
// Run as: node RunTest.mjs DIST
import assert from "node:assert/strict";
import {after, before, describe, it} from "node:test";

import {brightness} from "./Frames.mjs";
import {QorxPage, text, visible} from "./QorxPage.mjs";

const [dist] = process.argv.slice(2);
const Scene2Seconds = 1115 / 60;
const Allowance = 0.1;
// Scenes 1 and 2 end on their picture fully opaque and the next scene starts
// from black, reaching half its opacity only after 8 frames (scene 3) or
// more; while a scene runs its picture only grows brighter or drifts
// slowly. So a frame less than half as bright as the one before is a
// scene's start, even if the browser hands on only some of its frames.
const DropShare = 0.5;
const RunLimitMs = 120000;
const MinimumBrowserRate = 57;
const RateProbeMs = 2000;
const WatchedWidth = 160;
const WatchedHeight = 120;

// The browser's frames, scaled down, until the third scene has started:
// each scene's start as the time its first frame was shown, and the page's
// frame count soon after.
async function watchScenes(page)
{
    const starts = [];
    let previous = 0;
    await page.startScreencast((frame, seconds) => {
        const level = brightness(frame);
        if (level < DropShare * previous) {
            const start = {seconds};
            starts.push(start);
            page.evaluate("qorx.frames").then((frames) => (start.frames = frames));
        }
        previous = level;
    }, WatchedWidth, WatchedHeight);
    await page.waitUntil(() => starts.length >= 2, RunLimitMs, "scene 3").catch(() => {});
    await page.stopScreencast();
    return starts;
}

// Animation frames a second the browser gives the page, while it shows it.
function animationFrameRate(page)
{
    return page.evaluate(`new Promise((done) => {
        let frames = 0;
        const begin = performance.now();
        const count = () => performance.now() - begin < ${RateProbeMs} ? (++frames, requestAnimationFrame(count))
                                                                       : done(frames * 1000 / ${RateProbeMs});
        requestAnimationFrame(count);
    })`);
}

describe("a whole run of the page", () => {
    let qorx, page, starts, browserRate;
    before(async () => {
        qorx = await QorxPage.start(dist);
        page = await qorx.open();
        await page.waitFor("window.qorx && qorx.state === 'running'");
        starts = await watchScenes(page);
        browserRate = await animationFrameRate(page);
    });
    after(() => qorx?.stop());

    it(`lasts ${Scene2Seconds.toFixed(1)} s (± ${Allowance * 100} %) in scene 2, seen from the pixels`, (t) => {
        // The page draws at most one frame per animation frame: a browser
        // that gives fewer than 60 a second (headless chromium on a busy
        // software renderer) cannot show the scene's pace at all.
        if (browserRate < MinimumBrowserRate)
            return t.skip(`the browser gives only ${browserRate.toFixed(1)} animation frames a second`);
        assert.equal(starts.length, 2, "scenes 2 and 3 never started");
        const seconds = starts[1].seconds - starts[0].seconds;
        const rate = (starts[1].frames - starts[0].frames) / seconds;
        assert.ok(Math.abs(seconds - Scene2Seconds) <= Allowance * Scene2Seconds,
                  `scene 2 lasted ${seconds.toFixed(2)} s, at about ${rate.toFixed(1)} frames a second`);
    });

    it("ends on Escape with exit code 0 and says so", async () => {
        await page.press("Escape", "Escape", 27);
        await page.waitFor("qorx.state === 'ended'", 10000);
        assert.equal(await page.evaluate("qorx.exitCode"), 0);
        assert.ok(await visible(page, "#end"));
        assert.match(await text(page, "#end"), /Escape/);
        assert.ok(await visible(page, "#again"));
    });

    it("throws no uncaught error", () => { assert.deepEqual(page.exceptions, []); });
});
