// The page with one of its files missing on the server (?assets= naming a
// folder without it): a missing picture is the fatal error box, a missing
// soundtrack one console line and a silent presentation.
// Run as: node MissingFilesTest.mjs DIST
import assert from "node:assert/strict";
import {after, before, describe, it} from "node:test";

import {AssetsWithout, QorxPage, text, visible} from "./QorxPage.mjs";

const [dist] = process.argv.slice(2);
const SilentFrames = 120;

describe("the page with a file missing", () => {
    let qorx;
    before(async () => (qorx = await QorxPage.start(dist)));
    after(() => qorx?.stop());

    it("shows the box for a missing mirk.jpg, and ends after an error once it is dismissed", async () => {
        const page = await qorx.open({assets : AssetsWithout.mirk});
        await page.waitFor("window.qorx && qorx.state === 'box'");
        assert.ok(await visible(page, "#box"));
        assert.equal(await text(page, "#box-caption"), "Qorx - ERROR!");
        assert.equal(await text(page, "#box-text"), "Error cargando la textura");
        const ok = await page.evaluate(`(() => {
            const r = document.querySelector("#box-ok").getBoundingClientRect();
            return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
        })()`);
        await page.click(ok.x, ok.y);
        await page.waitFor("qorx.state === 'ended'", 10000);
        assert.notEqual(await page.evaluate("qorx.exitCode"), 0);
        assert.ok(await visible(page, "#end"));
        assert.match(await text(page, "#end"), /error/);
        assert.deepEqual(page.exceptions, []);
    });

    it("runs silently without larkspin.mp3, after one console line naming it", async () => {
        const page = await qorx.open({assets : AssetsWithout.soundtrack});
        await page.waitFor(`window.qorx && qorx.frames >= ${SilentFrames}`);
        assert.equal(await page.evaluate("qorx.state"), "running");
        assert.equal(await page.evaluate("qorx.soundSamples(1)"), null);
        assert.equal(page.consoleLines.filter((line) => line.includes("larkspin.mp3")).length, 1,
                     page.consoleLines.join("\n"));
        assert.deepEqual(page.exceptions, []);
    });
});
