// What the page tests of the objects' archive and its sync wait on.

/** Opens "Объекты" and waits for its list. */
export async function openObjects(page) {
  await page.waitForFunction(() => !document.querySelector('#objectsOpen').hidden);
  await page.click('#objectsOpen');
  await page.locator('#objectsDialog[open]').waitFor();
  await page.waitForFunction(() => document.querySelector('#objectsDialog').dataset.listed);
}

/**
 * Waits for #syncStatus to say `state` ('online', 'offline', 'waiting'),
 * with `waiting` records where given; returns its words.
 */
export async function syncState(page, state, waiting) {
  await page.waitForFunction(([s, n]) => {
    const status = document.querySelector('#syncStatus');
    return status.dataset.state === s && (n === undefined || status.dataset.waiting === String(n));
  }, [state, waiting]);
  return page.textContent('#syncStatus');
}
