// One whole run of the page, watched through its frames as shown: scene 1 fading in
// and ending, scene 2 lasting its 1115 frames at the browser's pace (60 a
// second where it gives that many), Escape in
// scene 3 ending the presentation, and no uncaught error all along.
// Run as: node RunTest.mjs DIST
import assert from "node:assert/strict";
import {after, before, describe, it} from "node:test";

import {brightness} from "./Frames.mjs";
import {QorxPage, text, visible} from "./QorxPage.mjs";

const [dist] = process.argv.slice(2);
const Scene2Frames = 1115;
const Scene2Seconds = Scene2Frames / 60;
const Allowance = 0.1;
// Scenes 1 and 2 end on their picture fully opaque and the next scene starts
// from black, reaching half its opacity only after 8 frames (scene 3) or
// more; while a scene runs its picture only grows brighter or drifts
// slowly. So a frame less than half as bright as the one before is a
// scene's start, even if the browser hands on only some of its frames.
const DropShare = 0.5;
const RunLimitMs = 120000;
const PaceLimit = 60;
const WatchedWidth = 160;
const WatchedHeight = 120;

// The browser's frames, scaled down, until the third scene has started:
// each scene's start as the time its first frame was shown, and the page's
// frame count soon after.
async function watchScenes(page)
{
    const starts = [];
    let previous = 0;
    await page.evaluate(
        "window.animationFrames = 0; (function count() { ++animationFrames; requestAnimationFrame(count); })()");
    await page.startScreencast((frame, seconds) => {
        const level = brightness(frame);
        if (level < DropShare * previous && starts.length < 2) {
            const start = {seconds};
            starts.push(start);
            page.evaluate("[qorx.frames, animationFrames]")
                .then(([ frames, animation ]) => Object.assign(start, {frames, animation}));
        }
        previous = level;
    }, WatchedWidth, WatchedHeight);
    await page.waitUntil(() => starts.length >= 2, RunLimitMs, "scene 3").catch(() => {});
    await page.stopScreencast();
    return starts;
}

describe("a whole run of the page", () => {
    let qorx, page, starts;
    before(async () => {
        qorx = await QorxPage.start(dist);
        page = await qorx.open();
        await page.waitFor("window.qorx && qorx.state === 'running'");
        starts = await watchScenes(page);
    });
    after(() => qorx?.stop());

    it(`shows scene 2's ${Scene2Frames} frames one per animation frame, at most 60 a second (${
           Scene2Seconds.toFixed(1)} s ± ${Allowance * 100} % at 60), timed from the pixels`,
       (t) => {
           assert.equal(starts.length, 2, "scenes 2 and 3 never started");
           const seconds = starts[1].seconds - starts[0].seconds;
           const rate = (starts[1].frames - starts[0].frames) / seconds;
           // One frame per animation frame, at most 60 a second: where the
           // browser gives fewer (headless chromium on a busy software
           // renderer), the scene lasts as many of them.
           const browserRate = (starts[1].animation - starts[0].animation) / seconds;
           const expected = Scene2Frames / Math.min(PaceLimit, browserRate);
           const report = `scene 2 lasted ${seconds.toFixed(2)} s at ${rate.toFixed(1)} frames a second, ${
               browserRate.toFixed(1)} animation frames a second`;
           t.diagnostic(report);
           assert.ok(Math.abs(seconds - expected) <= Allowance * expected, report);
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
