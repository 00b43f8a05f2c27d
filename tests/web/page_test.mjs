// qelcrypto.html in Debian's chromium, headless, used through its controls as a person uses them,
// and checked against qelcrypt on the texts the three front ends must agree on.
//
//   node page_test.mjs PAGE QELCRYPT DESKTOP_WINDOW
// QEL_WEB_SCREENSHOTS names a directory for pictures of the page, narrow and wide.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { after, before, test } from "node:test";
import { launchChromium } from "./chromium.mjs";

const [pagePath, qelcrypt, desktopWindow] = process.argv.slice(2).map((p) => path.resolve(p));
const pageUrl = "file://" + pagePath;
const screenshots = process.env.QEL_WEB_SCREENSHOTS;

const MissingKey = "Vennligst sett en CryptKey først!";
const InvalidKey = "Key'en er ugyldig og blir ikke satt!";
const Overflow = "For mye tekst, prøv i flere omganger";

let browser, page;
const requests = [];
const nativeDialogs = [];

before(async () => {
    browser = await launchChromium();
    page = await browser.newPage();
    page.on("request", (request) => requests.push(request.url()));
    page.on("dialog", async (dialog) => {
        nativeDialogs.push(dialog.message());
        await dialog.dismiss();
    });
    await page.setViewport({ width: 1024, height: 768 });
});

after(async () => {
    await browser?.close();
});

async function open() {
    await page.goto(pageUrl);
    await page.waitForSelector("body[data-ready=true]");
}

const qel = (args, input) => execFileSync(qelcrypt, args, { input: Buffer.from(input, "utf8"), maxBuffer: 1 << 28 }).toString("utf8");
const Protocols = { crypt: 1, røver: 2, begge: 3, vignere: 4 };
// The desktop program's main window, through its commands (tests/web/DesktopWindow.cpp).
const desktop = (args, input) => execFileSync(desktopWindow, args, { input: Buffer.from(input, "utf8"), maxBuffer: 1 << 28 }).toString("utf8");
const clipboard = () => page.evaluate(() => navigator.clipboard.readText());
const setClipboard = (text) => page.evaluate((t) => navigator.clipboard.writeText(t), text);
const value = (selector) => page.$eval(selector, (e) => e.value);
// The alert's text, once it is in sight: the page's stand-in for a box nobody can miss.
const alertText = () =>
    page.$eval("#alert", (e) => {
        const box = e.getBoundingClientRect();
        const inSight = box.top >= 0 && box.bottom <= window.innerHeight;
        return e.hidden ? "" : (inSight ? "" : "out of sight: ") + e.querySelector("#alertText").textContent;
    });

// The exact text of a box, as "Kopier" or a copy out of the box puts it on the clipboard. The copy
// lands a moment after the click, so the clipboard first holds a text no box can give.
const NotCopied = "\u0000not copied";
async function output() {
    await setClipboard(NotCopied);
    await page.click("#kopier");
    await page.waitForFunction(async (n) => (await navigator.clipboard.readText()) !== n, { polling: 20 }, NotCopied);
    return clipboard();
}
// The paste lands a moment after the click too: wait until the box shows the text, since a count
// alone cannot tell two texts of one length apart.
async function pasteInput(text) {
    await setClipboard(text);
    await page.click("#liminn");
    await page.waitForFunction(
        (t) => document.querySelector("#txtInput").value === ExactBox.render(normalisePastedBreaks(t)),
        { polling: 20 },
        text
    );
    assert.equal(await value("#lblAntTegn"), String([...text].length));
}
// Answers the key prompt and waits until the command has acted on the answer: the page's own listener
// on the dialog's close, and the command it resumes, run before this one.
async function answerKeyPrompt(answer) {
    await page.$eval("#keyDialog", (dialog) => {
        window.keyPromptAnswered = new Promise((resolve) => dialog.addEventListener("close", resolve, { once: true }));
    });
    await answer();
    await page.evaluate(() => window.keyPromptAnswered);
}
async function chooseProtocol(protocol, strong = false) {
    await page.click(`input[name=protocol][value="${Protocols[protocol]}"]`);
    if ((await page.$eval("#Check1", (e) => e.checked)) !== strong) await page.click("#Check1");
}
async function setKey(key) {
    await page.click("#txtInputKey", { clickCount: 3 });
    await page.keyboard.type(key);
    await page.keyboard.press("Enter");
}
async function encrypt(passes) {
    if (passes === 1 || passes === 3 || passes === 10) {
        await page.click({ 1: "#krypter", 3: "#crypt3", 10: "#crypt10" }[passes]);
    } else {
        await page.click("#passes", { clickCount: 3 });
        await page.keyboard.type(String(passes));
        await page.click("#cryptx");
    }
}
// Dekrypter, answering the key prompt with OK on what it offers.
async function decrypt() {
    await page.click("#dekrypter");
    const asked = await page.evaluate(() => document.querySelector("#keyDialog").open);
    if (asked) await answerKeyPrompt(() => page.click("#keyDialogOk"));
}

test("typing, clicks and the clipboard buttons give exact texts", async () => {
    await open();
    await page.keyboard.type("Hei på deg");
    await page.keyboard.press("Enter");
    await page.keyboard.type("😀x");
    assert.equal(await value("#lblAntTegn"), "14"); // the typed break is CR LF, 😀 one character
    await chooseProtocol("begge", true);
    await encrypt(3);
    const encrypted = await output();
    assert.equal(qel(["dekrypter"], encrypted), "Hei på deg\r\n😀x");

    await pasteInput(encrypted);
    await page.click("#dekrypter");
    assert.equal(await output(), "Hei på deg\r\n😀x");
    assert.equal(await value("#txtOutput"), "Hei på deg\n😀x");
});

test("pasted and copied texts keep their breaks, and edits around lone ones keep them", async () => {
    await open();
    const rows = {
        "LF alone becomes CR LF": ["a\nb\n", "a\r\nb\r\n"],
        "any CR keeps the text as it is": ["a\rb\nc\r\n", "a\rb\nc\r\n"],
        "no break at all": ["æøå 𐍈", "æøå 𐍈"],
    };
    for (const [name, [pasted, exact]] of Object.entries(rows)) {
        // Ctrl+V into the box, then Ctrl+A Ctrl+C out of it.
        await setClipboard(pasted);
        await page.click("#txtInput");
        await page.keyboard.down("Control");
        await page.keyboard.press("a");
        await page.keyboard.press("v");
        await page.keyboard.up("Control");
        await page.keyboard.type("Z");
        await page.keyboard.down("Control");
        await page.keyboard.press("a");
        await page.keyboard.press("c");
        await page.keyboard.up("Control");
        assert.equal(await clipboard(), exact + "Z", name);
        assert.equal(await value("#lblAntTegn"), String([...exact].length + 1), name);
    }
});

test("failures show the program's texts in the page, in sight, never in a browser box", async () => {
    // A laptop's screen, and 200 % zoom where the key's box lies below the alert.
    for (const [width, height, scale] of [[1366, 657, 1], [640, 400, 2]]) {
        await page.setViewport({ width, height, deviceScaleFactor: scale });
        await open();
        await pasteInput("Tekst");
        await page.click("#krypter"); // Vignere, no key
        assert.equal(await alertText(), MissingKey, `${width}`);
        await setKey("ab1");
        assert.equal(await alertText(), InvalidKey, `${width}`);
    }
    await page.setViewport({ width: 1024, height: 768 });
    assert.equal(await page.$eval("#alert", (e) => e.getAttribute("role")), "alert");
    assert.equal(await value("#keyInUse"), "ingen");

    await chooseProtocol("crypt");
    const enabled = await page.$$eval("#crypt3, #crypt10, #cryptx, #passes, #Check1", (l) => l.map((e) => !e.disabled));
    assert.deepEqual(enabled, [false, false, false, false, false]);

    await chooseProtocol("røver");
    await pasteInput("b".repeat(11000));
    await page.click("#krypter");
    assert.equal(await alertText(), Overflow);
    await pasteInput("x");
    await encrypt(14);
    assert.equal(await alertText(), Overflow);
    await encrypt(15);
    assert.equal(await alertText(), "Grensen er 15 ganger!");
    assert.deepEqual(nativeDialogs, []);
});

test("everything works from the keyboard alone, the key prompt pre-filled", async () => {
    await open();
    await page.keyboard.type("Møte klokka 12");
    // Tab through the page to the CryptKey field, as a keyboard user does.
    for (let i = 0; i < 40 && (await page.evaluate(() => document.activeElement.id)) !== "txtInputKey"; ++i)
        await page.keyboard.press("Tab");
    await page.keyboard.type("hemmelig");
    await page.keyboard.press("Enter");
    assert.equal(await value("#keyInUse"), "HEMMELIG");
    await page.focus("#txtInput");
    await page.keyboard.down("Control");
    await page.keyboard.press("k");
    await page.keyboard.up("Control");
    const encrypted = await output();
    assert.equal(qel(["dekrypter", "-k", "HEMMELIG"], encrypted), "Møte klokka 12");

    await pasteInput(encrypted);
    await page.focus("#txtInput");
    // Escape cancels and leaves the output as it was; Enter takes the offered key.
    for (const [answer, expected] of [["Escape", encrypted], ["Enter", "Møte klokka 12"]]) {
        await page.keyboard.down("Control");
        await page.keyboard.press("d");
        await page.keyboard.up("Control");
        await page.waitForSelector("#keyDialog[open]");
        assert.equal(await page.evaluate(() => document.activeElement.id), "keyDialogAnswer");
        assert.equal(await value("#keyDialogAnswer"), "HEMMELIG");
        assert.equal(await page.$eval("#keyDialogPrompt", (e) => e.textContent), "Ka key ska bruges?");
        await answerKeyPrompt(() => page.keyboard.press(answer));
        assert.equal(await value("#txtOutput"), expected);
    }
});

test("every control has a name a screen reader announces", async () => {
    await open();
    const session = await page.createCDPSession();
    const { nodes } = await session.send("Accessibility.getFullAXTree");
    const controls = nodes.filter((n) => ["button", "textbox", "radio", "checkbox", "spinbutton"].includes(n.role?.value) && !n.ignored);
    assert.ok(controls.length >= 14, `${controls.length} controls`);
    const unnamed = controls.filter((n) => !n.name?.value?.trim()).map((n) => n.role.value);
    assert.deepEqual(unnamed, []);
});

test("a phone's 360 pixels and 200 % zoom need no sideways scrolling", async () => {
    for (const [name, width, height, scale] of [["narrow", 360, 760, 1], ["zoom-200", 640, 512, 2], ["wide", 1024, 720, 1]]) {
        await page.setViewport({ width, height, deviceScaleFactor: scale });
        await open();
        const overflow = await page.evaluate(() => {
            const wide = [...document.querySelectorAll("button, input, textarea, fieldset")].filter(
                (e) => e.getBoundingClientRect().right > document.documentElement.clientWidth
            );
            return [document.documentElement.scrollWidth - document.documentElement.clientWidth, wide.map((e) => e.id)];
        });
        assert.deepEqual(overflow, [0, []], name);
        // A tap on the last command still reaches it.
        await pasteInput("Hei");
        await chooseProtocol("crypt");
        await page.click("#krypter");
        assert.equal(qel(["dekrypter"], await output()), "Hei", name);
        if (screenshots) {
            fs.mkdirSync(screenshots, { recursive: true });
            if (name !== "zoom-200") await page.screenshot({ path: path.join(screenshots, `web-page-${name}.png`), fullPage: true });
        }
    }
    await page.setViewport({ width: 1024, height: 768 });
});

// Texts and settings every front end must agree on.
function vowels(length) {
    const pattern = [..."æøå aei\r\nou 😀\ry\n"];
    return Array.from({ length }, (_, i) => pattern[i % pattern.length]).join("");
}
// It begins with U+FEFF, which a TextDecoder would drop.
const Short = "\uFEFFLine one\r\nlone CR\rlone LF\næøå ÆØÅ 𝄞😀";
const CROSS = [
    // name, protocol, strong, passes, text
    ["crypt", "crypt", false, 1, Short],
    ["røver", "røver", false, 1, Short],
    ["røver strong x3", "røver", true, 3, Short],
    ["røver x10", "røver", false, 10, "kort"],
    ["begge strong x1", "begge", true, 1, Short],
    ["begge x3", "begge", false, 3, Short],
    ["begge strong x10", "begge", true, 10, "å"],
    // Through "Krypter xX": 13 passes are the most any text takes, the 14th outgrows Røver's limit.
    ["røver x13", "røver", false, 13, "å"],
    ["vignere", "vignere", false, 1, Short],
    ["røver at its 32,766-character limit", "røver", false, 1, vowels(32766)],
    ["vignere on 1,000,000 characters", "vignere", false, 1, vowels(1000000)],
];
const Key = "Nøkkelord";

test("what one of page, qelcrypt and desktop program encrypts the others decrypt, exactly", async () => {
    await open();
    await setKey(Key);
    for (const [name, protocol, strong, passes, text] of CROSS) {
        const options = ["-p", protocol, "-k", Key, ...(strong ? ["-s"] : []), ...(passes !== 1 ? ["-n", String(passes)] : [])];
        const byQelcrypt = qel(["krypter", ...options], text);
        const byDesktop = desktop(["krypter", Protocols[protocol], strong ? "1" : "0", String(passes), Key], text);
        assert.ok(byDesktop !== text && qel(["dekrypter", "-k", Key], byDesktop) === text, `desktop to qelcrypt: ${name}`);
        assert.ok(desktop(["dekrypter", "1", Key], byQelcrypt) === text, `qelcrypt to desktop: ${name}`);
        for (const [from, encrypted] of [["qelcrypt", byQelcrypt], ["desktop", byDesktop]]) {
            await pasteInput(encrypted);
            await decrypt();
            assert.ok((await output()) === text, `${from} to page: ${name}`);
        }

        await pasteInput(text);
        await chooseProtocol(protocol, strong);
        await encrypt(passes);
        assert.equal(await alertText(), "", name);
        const encrypted = await output();
        assert.ok(encrypted !== text && qel(["dekrypter", "-k", Key], encrypted) === text, `page to qelcrypt: ${name}`);
        assert.ok(desktop(["dekrypter", "1", Key], encrypted) === text, `page to desktop: ${name}`);
    }
});

test("the page asks the network for nothing", () => {
    const elsewhere = requests.filter((url) => url !== pageUrl);
    assert.ok(requests.length > 0);
    assert.deepEqual(elsewhere, []);
});
