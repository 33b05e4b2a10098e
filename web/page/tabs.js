// The tab strip's keyboard, as screen-reader users expect of tabs: the
// arrows move to the tab before or after (round the ends), Home and End to
// the first and last; the tab moved to is shown and focused.
//   tabKeys(strip, showTab) binds it; showTab(i) shows tab i.
/** @param {HTMLElement} strip @param {(index: number) => void} showTab */
export function tabKeys(strip, showTab) {
  strip.addEventListener('keydown', (event) => {
    const tabs = [.../** @type {NodeListOf<HTMLElement>} */ (strip.querySelectorAll('[role=tab]'))];
    const at = tabs.indexOf(/** @type {HTMLElement} */ (document.activeElement));
    if (at < 0) return;
    /** @type {Record<string, number>} */
    const moves = { ArrowRight: at + 1, ArrowLeft: at - 1, Home: 0, End: tabs.length - 1 };
    const to = moves[event.key];
    if (to === undefined) return;
    event.preventDefault();
    const index = (to + tabs.length) % tabs.length;
    showTab(index);
    tabs[index].focus();
  });
}
