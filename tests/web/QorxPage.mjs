// The built page (the folder `make web` writes) served on 127.0.0.1 and
// opened in a headless chromium, as the web tests share it. The page's
// pictures and soundtrack come from its assets/ folder; `withoutAssets`
// serves that folder again under another name with some files missing, for
// the page's ?assets= query.
import path from "node:path";

import {Browser} from "../support/Chromium.mjs";
import {serve} from "../support/StaticServer.mjs";

export const AssetsWithout = {
    mirk : "no-mirk/",
    soundtrack : "no-soundtrack/"
};

export class QorxPage {
    static async start(dist, width = 800, height = 600, browserOptions = {})
    {
        const assets = path.join(dist, "assets");
        const server = await serve([
            {prefix : "/", dir : dist},
            {prefix : "/" + AssetsWithout.mirk, dir : assets, hide : [ "mirk.jpg" ]},
            {prefix : "/" + AssetsWithout.soundtrack, dir : assets, hide : [ "larkspin.mp3" ]},
        ]);
        return new QorxPage(server, await Browser.launch(width, height, browserOptions));
    }

    constructor(server, browser)
    {
        this.server = server;
        this.browser = browser;
    }

    // A new tab showing the page with these query values; started at once
    // unless the query says autostart: 0.
    async open(query = {}, width = undefined, height = undefined)
    {
        const page = await this.browser.newPage(width, height);
        await page.open(`${this.server.url}index.html?${new URLSearchParams({autostart : 1, ...query})}`);
        return page;
    }

    async stop()
    {
        await this.browser.close();
        await this.server.close();
    }
}

// Resolves once the browser has shown what the page drew last.
export function shown(page)
{
    return page.evaluate("new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))");
}

// Whether the element is laid out and visible.
export function visible(page, selector)
{
    return page.evaluate(`(() => {
        const e = document.querySelector(${JSON.stringify(selector)});
        return !!e && e.getClientRects().length > 0 && getComputedStyle(e).visibility !== "hidden";
    })()`);
}

export function text(page, selector)
{
    return page.evaluate(`document.querySelector(${JSON.stringify(selector)})?.textContent.trim() ?? null`);
}
