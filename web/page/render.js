// Lays the tabs out from the module's catalogue and keeps the controls in
// step with the module's settings model. Every settings control carries its
// control name as its id, and its caption is its <label>: a click on the
// caption focuses it, and a screen reader names it so.

/** @typedef {(name: string) => CatalogueSetting} FindSetting */

/**
 * An element of `tag` with `properties` set and `children` appended.
 * @template {keyof HTMLElementTagNameMap} Tag
 * @param {Tag} tag
 * @param {Record<string, unknown>} [properties]
 * @param {...(Node | string)} children
 * @returns {HTMLElementTagNameMap[Tag]}
 */
const element = (tag, properties = {}, ...children) => {
  const node = Object.assign(document.createElement(tag), properties);
  node.append(...children);
  return node;
};

// The caption of the control `control` (an id); a radio group's caption
// names the group instead, which is no single control.
/** @param {string} text @param {string} hint @param {string | null} [control] */
function captionNode(text, hint, control) {
  const caption = element('label', { className: 'caption', textContent: text, title: hint });
  if (control) caption.htmlFor = control;
  return caption;
}

// The id of the control a setting's caption labels; none for radio groups.
/** @param {CatalogueSetting | undefined} setting */
const labelledControl = (setting) => (setting?.kind === 'radio' ? null : setting?.name);

/** @param {CatalogueSetting} setting */
function listControl(setting) {
  const select = element('select', { id: setting.name });
  for (const option of setting.options) select.append(element('option', { textContent: option }));
  return select;
}

/** @param {CatalogueSetting} setting */
function textControl(setting) {
  const input = element('input', { type: 'text', id: setting.name });
  if (setting.caption.startsWith('IP')) input.classList.add('address');
  return input;
}

/** @param {CatalogueSetting} setting */
function sliderNode(setting) {
  const slider = element('input', {
    type: 'range', id: setting.name, min: setting.minimum, max: setting.maximum, step: 1,
  });
  const value = element('span', { id: setting.valueLabel });
  const ends = [setting.minLabel, setting.maxLabel].map((label) => element('span', label ? { id: label } : {}));
  return element('div', { className: 'slider' }, captionNode(setting.caption, setting.hint, setting.name), value,
    element('span'), slider, ends[0], element('span'), ends[1]);
}

// One button per line: the long options would otherwise run into each other.
/** @param {CatalogueSetting} setting */
function radioNode(setting) {
  return setting.buttons.map((button) => element('label', { className: 'option' },
    element('input', { type: 'radio', name: setting.name, id: button.control }), button.caption));
}

// `captionId`: the id of the row's caption, which names a radio group and
// any control after the first (a <label> names the first).
/** @param {CatalogueSetting} setting @param {string} [captionId] @returns {HTMLElement[]} */
function controlNodes(setting, captionId) {
  switch (setting.kind) {
    case 'list': return [listControl(setting)];
    case 'text': return [textControl(setting)];
    case 'radio': {
      const group = element('div', { className: 'radios' }, ...radioNode(setting));
      group.setAttribute('role', 'radiogroup');
      if (captionId) group.setAttribute('aria-labelledby', captionId);
      return [group];
    }
    default: return [sliderNode(setting)];
  }
}

/** @param {CatalogueRow} row @param {FindSetting} find */
function rowNode(row, find) {
  const settings = row.settings.map(find);
  if (row.kind === 'heading') return element('div', { className: 'heading', textContent: row.caption });
  if (row.kind === 'box') {
    const legend = element('legend', { textContent: row.caption, id: `caption-${row.settings[0]}` });
    const controls = settings.flatMap((setting) => controlNodes(setting));
    for (const control of controls) if (control.matches('select, input')) control.setAttribute('aria-labelledby', legend.id);
    return element('fieldset', { title: row.hint }, legend, ...controls);
  }
  if (settings.length === 1 && settings[0].kind === 'slider') return sliderNode(settings[0]);
  const caption = captionNode(row.caption, row.hint, labelledControl(settings[0]));
  caption.id = `caption-${row.settings[0]}`;
  const controls = settings.flatMap((setting) => controlNodes(setting, caption.id));
  for (const control of controls.slice(1)) control.setAttribute('aria-labelledby', caption.id);
  return element('div', { className: 'row' }, caption, element('div', {}, ...controls));
}

// Each list is named by its zone and its column's heading; the lists of one
// column are as wide as its widest.
/** @param {CatalogueTab} tab @param {FindSetting} find */
function zoneTable(tab, find) {
  const head = element('tr', {}, element('th'),
    ...tab.columns.map((column, c) => element('th', { id: `zone-column-${c}`, scope: 'col' },
      element('small', { textContent: column.label }), column.heading)));
  const rows = tab.boxes.flatMap((box) => box.rows).map((row, r) => element('tr', {},
    element('th', { textContent: row.caption, id: `zone-row-${r}`, scope: 'row' }),
    ...row.settings.map((name, c) => {
      const list = listControl(find(name));
      list.setAttribute('aria-labelledby', `zone-row-${r} zone-column-${c}`);
      return element('td', {}, list);
    })));
  return element('table', { className: 'zones' }, head, ...rows);
}

/** @param {CatalogueBox} box @param {FindSetting} find @param {boolean} columns */
function boxNode(box, find, columns) {
  const content = [];
  if (columns) {
    const sides = [0, 1].map(() => element('div'));
    for (const row of box.rows) sides[row.column].append(rowNode(row, find));
    content.push(element('div', { className: 'columns' }, ...sides));
  } else {
    content.push(...box.rows.map((row) => rowNode(row, find)));
  }
  if (!box.title) return element('div', {}, ...content);
  return element('fieldset', {}, element('legend', { textContent: box.title }), ...content);
}

// The logo beside the instructions, as in the window.
/** @param {PageTexts} texts */
function greeting(texts) {
  return element('div', { className: 'greeting' },
    element('h1', { textContent: texts.greetingTitle }),
    // The page's own first step (main.js words it); the lines below stay the window's.
    element('p', { id: 'connectStep', className: 'page-step' }),
    element('div', { className: 'greeting-body' },
      element('div', {}, ...texts.greetingLines.map((line) => element('p', { textContent: line }))),
      element('img', { src: 'images/logo.svg', alt: 'Quorvex' })),
    element('a', { href: texts.webAddress, target: '_blank', rel: 'noopener', textContent: texts.webCaption }));
}

// Builds the tab strip and one panel per tab (the greeting from the module's
// texts), each panel labelled by its tab; returns a function that shows the
// tab of an index. Only the shown tab is a Tab stop (tabs.js moves between).
/**
 * @param {Catalogue} catalogue
 * @param {PageTexts} texts
 * @param {HTMLElement} strip
 * @param {HTMLElement} pages
 * @returns {(index: number) => void}
 */
export function buildTabs(catalogue, texts, strip, pages) {
  const byName = new Map(catalogue.settings.map((s) => [s.name, s]));
  // The catalogue's rows name only its own settings.
  /** @type {FindSetting} */
  const find = (name) => /** @type {CatalogueSetting} */ (byName.get(name));
  /** @type {HTMLButtonElement[]} */
  const tabs = [];
  const panels = catalogue.tabs.map((tab, i) => {
    const panel = element('section', { role: 'tabpanel', id: `TabSheet${i + 1}`, hidden: i !== 0 });
    panel.setAttribute('aria-labelledby', `tab-${i + 1}`);
    if (tab.kind === 'greeting') panel.append(greeting(texts));
    else if (tab.kind === 'zoneTable') panel.append(zoneTable(tab, find));
    else panel.append(...tab.boxes.map((box) => boxNode(box, find, tab.kind === 'textFields')));
    const button = element('button', { type: 'button', role: 'tab', id: `tab-${i + 1}`, textContent: tab.caption });
    button.setAttribute('aria-selected', String(i === 0));
    button.setAttribute('aria-controls', panel.id);
    button.addEventListener('click', () => showTab(i));
    tabs.push(button);
    return panel;
  });
  /** @param {number} index */
  const showTab = (index) => {
    tabs.forEach((tab, i) => {
      tab.setAttribute('aria-selected', String(i === index));
      tab.tabIndex = i === index ? 0 : -1;
    });
    panels.forEach((panel, i) => { panel.hidden = i !== index; });
  };
  strip.append(...tabs);
  pages.append(...panels);
  showTab(0);
  return showTab;
}

// Shows the model's values in the controls; a text field being edited keeps
// its text.
/** @param {Catalogue} catalogue @param {QuorvexModel} model */
export function showSettings(catalogue, model) {
  for (const setting of catalogue.settings) {
    if (setting.kind === 'list') {
      const select = /** @type {HTMLSelectElement} */ (document.getElementById(setting.name));
      const index = model.listIndex(setting.name);
      select.selectedIndex = index < setting.options.length ? index : -1;
    } else if (setting.kind === 'slider') {
      const slider = /** @type {HTMLInputElement} */ (document.getElementById(setting.name));
      slider.min = String(model.sliderMinimum(setting.name));
      slider.value = String(model.sliderPosition(setting.name));
      for (const label of [setting.valueLabel, setting.minLabel, setting.maxLabel]) {
        if (!label) continue;
        const text = model.labelText(label);
        /** @type {HTMLElement} */ (document.getElementById(label)).textContent =
          text || String(label === setting.minLabel ? setting.minimum : setting.maximum);
      }
    } else if (setting.kind === 'radio') {
      const number = model.radioNumber(setting.name);
      setting.buttons.forEach((button, i) => {
        /** @type {HTMLInputElement} */ (document.getElementById(button.control)).checked = i === number;
      });
    } else {
      const input = /** @type {HTMLInputElement | HTMLTextAreaElement} */ (document.getElementById(setting.name));
      if (input.value !== model.text(setting.name)) input.value = model.text(setting.name);
    }
  }
}

// Passes the user's edits to the model; `changed` runs after each.
/** @param {Catalogue} catalogue @param {QuorvexModel} model @param {() => void} changed */
export function listenToControls(catalogue, model, changed) {
  for (const setting of catalogue.settings) {
    if (setting.kind === 'radio') {
      setting.buttons.forEach((button, i) => {
        /** @type {HTMLInputElement} */ (document.getElementById(button.control)).addEventListener('change', () => {
          model.setRadioNumber(setting.name, i);
          changed();
        });
      });
      continue;
    }
    const control = /** @type {HTMLSelectElement | HTMLInputElement} */ (document.getElementById(setting.name));
    const event = setting.kind === 'list' ? 'change' : 'input';
    control.addEventListener(event, () => {
      if (setting.kind === 'list') model.setListIndex(setting.name, /** @type {HTMLSelectElement} */ (control).selectedIndex);
      else if (setting.kind === 'slider') model.setSliderPosition(setting.name, Number(control.value));
      else model.setText(setting.name, control.value);
      changed();
    });
  }
}

// Gives each element named by a key of `captions` (an id) its text.
/** @param {ById} byId @param {Record<string, string>} captions */
export function setCaptions(byId, captions) {
  for (const [id, text] of Object.entries(captions)) byId(id).textContent = text;
}

// A plain button with its caption and its click.
/** @param {string} text @param {() => void} action */
export function button(text, action) {
  const element = document.createElement('button');
  element.type = 'button';
  element.textContent = text;
  element.addEventListener('click', action);
  return element;
}
