// Debian's chromium, headless, as the page's test and the benchmark start it: a profile of its own
// that goes with it, and the clipboard permissions a person grants when the browser asks.
// QEL_CHROMIUM names the browser (default /usr/lib/chromium/chromium).
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

export async function launchChromium() {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), "qel-chromium-"));
    const browser = await puppeteer.launch({
        executablePath: process.env.QEL_CHROMIUM || "/usr/lib/chromium/chromium",
        headless: true,
        args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync", `--user-data-dir=${profile}`],
    });
    const session = await browser.target().createCDPSession();
    await session.send("Browser.grantPermissions", { permissions: ["clipboardReadWrite", "clipboardSanitizedWrite"] });
    const close = browser.close.bind(browser);
    browser.close = async () => {
        await close();
        fs.rmSync(profile, { recursive: true, force: true });
    };
    return browser;
}
