// The page in a browser that lets sound play only after a gesture: it waits
// with its one line, a key starts it and takes it full screen, and leaving
// full screen (the browser's use of Escape) ends it as Escape does.
// Run as: node StartTest.mjs DIST
import assert from "node:assert/strict";
import {after, before, describe, it} from "node:test";

import {QorxPage, text, visible} from "./QorxPage.mjs";

const [dist] = process.argv.slice(2);
const WaitMs = 1000;

describe("the page started by a gesture", () => {
    let qorx, page;
    before(async () => {
        qorx = await QorxPage.start(dist, 800, 600, {soundNeedsGesture : true});
        page = await qorx.open({autostart : 0});
    });
    after(() => qorx?.stop());

    it("waits with its one line and draws nothing", async () => {
        await new Promise((resolve) => setTimeout(resolve, WaitMs));
        assert.ok(await visible(page, "#start"));
        assert.equal(await text(page, "#start"), "click or press any key to start");
        assert.equal(await page.evaluate("qorx.state"), "waiting");
        assert.equal(await page.evaluate("qorx.frames"), 0);
    });

    it("starts on a key, full screen and with its sound playing", async () => {
        await page.press("a", "KeyA", 65);
        await page.waitFor("qorx.state === 'running' && qorx.frames > 0");
        assert.equal(await visible(page, "#start"), false);
        await page.waitFor("!!document.fullscreenElement", 10000);
        assert.equal(await page.evaluate("Module.qorxAudio.context.state"), "running");
    });

    it("ends with exit code 0 when Escape leaves full screen, and says so", async () => {
        await page.press("Escape", "Escape", 27);
        await page.waitFor("qorx.state === 'ended'", 10000);
        assert.equal(await page.evaluate("qorx.exitCode"), 0);
        assert.match(await text(page, "#end"), /left full screen/);
        assert.deepEqual(page.exceptions, []);
    });
});
