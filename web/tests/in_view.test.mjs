// The page at each of the installers' windows: every command and tool in
// view beside or above at least a row of settings, and still there with any
// tab scrolled to its end; the keyboard's way in (the skip link, the About
// window, Ctrl+P on the sheet); and the dark colours' contrast of the logo,
// the shown tab and the focus ring.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { commandsBack, openPage, tab, useBrowser } from './browser.mjs';
import { ch340, deviceBehind, pageWithPorts } from './fake_ports.mjs';
import { sized, viewports } from './viewports.mjs';

useBrowser();

const commands = ['#N2', '#N3', '#BitBtn1', '#BitBtn2', '#writeVerify', '#batchButton', '#compareButton',
  '#sheetButton', '#historyButton'];

// Where the commands stand, and what of the shown tab is in view: each
// command's box and whether it lies inside the window, and how many rows of
// settings (a row, a box's legend, a zone's line) are wholly in view.
const view = (page) => page.evaluate((ids) => {
  const inside = (r) => r.top >= 0 && r.left >= 0 && r.bottom <= window.innerHeight && r.right <= window.innerWidth;
  const pages = document.querySelector('#pages').getBoundingClientRect();
  const rows = [...document.querySelectorAll('[role=tabpanel]:not([hidden]) :is(.row, .slider, legend, .zones tr, .greeting p)')]
    .map((row) => row.getBoundingClientRect())
    .filter((r) => r.height > 0 && r.top >= pages.top && r.bottom <= Math.min(pages.bottom, window.innerHeight));
  return {
    places: ids.map((id) => {
      const r = document.querySelector(id).getBoundingClientRect();
      return { id, top: Math.round(r.top), left: Math.round(r.left), inside: inside(r) };
    }),
    rowsInView: rows.length,
    pageScrolls: document.documentElement.scrollHeight > window.innerHeight + 1,
  };
}, commands);

// WCAG's contrast ratio of two CSS colours "rgb(r, g, b)".
const contrast = (a, b) => {
  const luminance = (colour) => {
    const [r, g, b2] = colour.match(/\d+(\.\d+)?/g).slice(0, 3).map(Number).map((c) => {
      const s = c / 255;
      return s <= 0.03928 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b2;
  };
  const [high, low] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (high + 0.05) / (low + 0.05);
};

for (const viewport of viewports) {
  test(`${viewport.name}: every command and tool is in view beside a row of settings, on every tab scrolled to its end`, async () => {
    const page = await openPage(async () => {}, sized(viewport));
    const first = await view(page);
    const captions = await page.$$eval('[role=tab]', (tabs) => tabs.map((t) => t.textContent));
    for (const caption of captions) {
      await tab(page, caption);
      const top = await view(page);
      assert.deepEqual(top.places.filter((p) => !p.inside).map((p) => p.id), [], `${caption}: outside the window`);
      assert.ok(top.rowsInView >= 1, `${caption}: no row of settings in view`);
      assert.equal(top.pageScrolls, false, `${caption}: the page scrolls as a whole`);
      // The settings scroll under the strip; the commands stay where they were.
      await page.$eval('#pages', (pages) => { pages.scrollTop = pages.scrollHeight; });
      await page.waitForFunction(() => {
        const pages = document.querySelector('#pages');
        return pages.scrollTop + pages.clientHeight >= pages.scrollHeight - 1;
      });
      const end = await view(page);
      assert.deepEqual(end.places, first.places, `${caption}: the commands moved`);
      assert.ok(end.rowsInView >= 1, `${caption}: no row in view at the end`);
      const last = await page.$eval('[role=tabpanel]:not([hidden])', (panel) => {
        const r = panel.getBoundingClientRect();
        return r.bottom <= Math.min(document.querySelector('#pages').getBoundingClientRect().bottom, window.innerHeight) + 1;
      });
      assert.ok(last, `${caption}: the tab's end is out of reach`);
    }
    await page.context().close();
  });

  test(`${viewport.name}: with a port open, "Подключить программатор…", "Отключить" and "Назвать порт…" are in view beside the commands and a row of settings, the batch's dialog too`, async () => {
    const page = await pageWithPorts([ch340], sized(viewport));
    await deviceBehind(page, 0);
    await page.getByRole('button', { name: 'Записать', exact: true }).click();
    await page.locator('dialog[open]').getByRole('button', { name: 'OK' }).click();
    await commandsBack(page);
    await page.waitForSelector('#disconnectPort:not([hidden])');
    const shown = await page.evaluate((ids) => {
      const inside = (r) => r.top >= 0 && r.left >= 0 && r.bottom <= window.innerHeight && r.right <= window.innerWidth;
      return ids.filter((id) => !inside(document.querySelector(id).getBoundingClientRect()));
    }, ['#connectPort', '#disconnectPort', '#namePort', '#portStatus', ...commands]);
    assert.deepEqual(shown, []);
    assert.ok((await view(page)).rowsInView >= 1);
    assert.equal(await page.textContent('#portStatus'), 'CH340 (1A86:7523): подключён');
    // The batch's dialog and its buttons fit the window too.
    await page.click('#batchButton');
    await page.waitForSelector('#batchDialog[open]');
    const outside = await page.evaluate(() => ['#batchDialog', '#batchAll', '#batchWrite', '#batchClose'].filter((id) => {
      const r = document.querySelector(id).getBoundingClientRect();
      return !(r.top >= 0 && r.left >= 0 && r.bottom <= window.innerHeight && r.right <= window.innerWidth);
    }));
    assert.deepEqual(outside, []);
    await page.context().close();
  });

  test(`${viewport.name}: the update bar, with its version, "Перезапустить" and "Позже", fits beside the commands`, async () => {
    const page = await openPage(async () => {}, sized(viewport));
    const placed = await page.evaluate(async (ids) => {
      const quorvex = await createQuorvex();
      const bar = document.querySelector('#updateBar');
      bar.querySelector('span').textContent = quorvex.updateReady('1.0.6.7', '0123456789abcdef');
      bar.hidden = false;
      const box = bar.getBoundingClientRect();
      const meets = (r) => r.left < box.right && box.left < r.right && r.top < box.bottom && box.top < r.bottom;
      return {
        text: bar.textContent,
        inside: box.left >= 0 && box.top >= 0 && box.right <= window.innerWidth && box.bottom <= window.innerHeight,
        covered: ids.filter((id) => meets(document.querySelector(id).getBoundingClientRect())),
      };
    }, commands);
    assert.match(placed.text, /^Готова новая версия страницы: v\.1\.0\.6\.7, сборка 01234567\.\s*Перезапустить\s*Позже$/);
    assert.deepEqual([placed.inside, placed.covered], [true, []]);
    await page.context().close();
  });

  test(`${viewport.name}: each command keeps its picture and caption, "Записать и проверить" a picture of its own`, async () => {
    const page = await openPage(async () => {}, sized(viewport));
    const buttons = await page.$$eval('.buttons button', (all) => all.map((b) => {
      const picture = b.querySelector('svg use');
      const shown = picture?.closest('svg').getBoundingClientRect();
      return { id: b.id, caption: b.textContent.trim(), picture: picture?.getAttribute('href'),
        drawn: Boolean(picture && document.querySelector(picture.getAttribute('href'))) && shown.width >= 16,
        cut: b.scrollWidth > b.clientWidth + 1 || b.scrollHeight > b.clientHeight + 1 };
    }));
    assert.deepEqual(buttons.map((b) => b.caption), ['Открыть', 'Сохранить', 'Прочитать', 'Записать', 'Записать и проверить']);
    for (const b of buttons) assert.ok(b.drawn && !b.cut, `${b.id}: ${JSON.stringify(b)}`);
    assert.equal(new Set(buttons.map((b) => b.picture)).size, buttons.length, 'a picture each');
    await page.context().close();
  });

  test(`${viewport.name}: the skip link leads past the commands to the settings; About is modal, closes with Escape and gives the focus back`, async () => {
    const page = await openPage(async () => {}, sized(viewport));
    await page.keyboard.press('Tab');
    const link = await page.evaluate(() => {
      const r = document.activeElement.getBoundingClientRect();
      return { id: document.activeElement.id, text: document.activeElement.textContent,
        inside: r.top >= 0 && r.bottom <= window.innerHeight };
    });
    assert.deepEqual(link, { id: 'skipLink', text: 'Перейти к настройкам', inside: true });
    await page.keyboard.press('Enter');
    assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-selected')), 'true');
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => Boolean(document.activeElement.closest('[role=tabpanel]'))), true,
      'the next Tab goes into the settings');

    await page.focus('#N3');
    await page.keyboard.press('F1');
    await page.waitForSelector('#about[open]');
    assert.equal(await page.$eval('#about', (d) => d.matches(':modal')), true);
    for (let i = 0; i < 3; i += 1) {
      await page.keyboard.press('Tab');
      assert.equal(await page.evaluate(() => document.activeElement.closest('#about') !== null
        || document.activeElement === document.body), true, 'Tab stays in the About window');
    }
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.querySelector('#about').open);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'N3');
    await page.context().close();
  });

  test(`${viewport.name}: Ctrl+P prints the open sheet as "Печать" does, and is the browser's own otherwise`, async () => {
    const page = await openPage(async () => {}, sized(viewport));
    // The prints asked for, and whether the browser's own Ctrl+P was left to it.
    await page.evaluate(() => {
      window.printed = [];
      window.print = () => window.printed.push('page');
      window.addEventListener('keydown', (event) => {
        if (event.code !== 'KeyP') return;
        window.printed.push(event.defaultPrevented ? 'taken' : 'browser');
        event.preventDefault();
      });
    });
    await page.keyboard.press('Control+KeyP');
    assert.deepEqual(await page.evaluate(() => window.printed), ['browser']);
    await page.getByRole('button', { name: 'Лист настроек' }).click();
    await page.waitForSelector('#sheetDialog[open]');
    await page.waitForFunction(() => document.querySelector('#sheetFrame').contentDocument?.body?.textContent.includes('Зоны'));
    await page.evaluate(() => {
      document.querySelector('#sheetFrame').contentWindow.print = () => window.printed.push('sheet');
    });
    await page.keyboard.press('Control+KeyP');
    await page.getByRole('button', { name: 'Печать' }).click();
    assert.deepEqual(await page.evaluate(() => window.printed), ['browser', 'sheet', 'sheet']);
    await page.context().close();
  });

  test(`${viewport.name}: in dark colours the logo, the shown tab and the focus ring stand out at 3:1`, async () => {
    for (const colorScheme of ['dark', 'light']) {
      const page = await openPage(async () => {}, sized(viewport, { colorScheme }));
      // The shown tab focused by the keyboard, as its ring shows then.
      await page.keyboard.press('Tab');
      await page.keyboard.press('Enter');
      const colours = await page.evaluate(() => {
        const style = (node) => getComputedStyle(node);
        const shown = document.querySelector('[role=tab][aria-selected=true]');
        const other = document.querySelector('[role=tab][aria-selected=false]');
        const logo = document.querySelector('.greeting img');
        let plate = logo;
        while (plate && style(plate).backgroundColor === 'rgba(0, 0, 0, 0)') plate = plate.parentElement;
        const ring = style(shown).outlineColor;
        // The bar of the shown tab is its inset shadow's colour.
        const bar = style(shown).boxShadow.match(/rgba?\([^)]*\)/)[0];
        return { plate: style(plate ?? document.body).backgroundColor, bar, shownBack: style(shown).backgroundColor,
          otherBack: style(other).backgroundColor, page: style(document.body).backgroundColor,
          ring, ringWidth: style(shown).outlineWidth, focusVisible: shown.matches(':focus-visible') };
      });
      // The logo's faintest inks: the tagline's grey and the name's darkest blue.
      for (const ink of ['rgb(90, 101, 117)', 'rgb(12, 47, 114)']) {
        assert.ok(contrast(colours.plate, ink) >= 3, `${colorScheme}: logo ${ink} on ${colours.plate}`);
      }
      assert.ok(contrast(colours.bar, colours.shownBack) >= 3, `${colorScheme}: the shown tab's bar ${JSON.stringify(colours)}`);
      assert.ok(contrast(colours.bar, colours.otherBack) >= 3, `${colorScheme}: the bar beside another tab`);
      assert.ok(colours.focusVisible && colours.ringWidth !== '0px', `${colorScheme}: a ring is drawn`);
      assert.ok(contrast(colours.ring, colours.page) >= 3, `${colorScheme}: the focus ring on the page`);
      assert.ok(contrast(colours.ring, colours.shownBack) >= 3, `${colorScheme}: the focus ring on the tab`);
      await page.context().close();
    }
  });
}
