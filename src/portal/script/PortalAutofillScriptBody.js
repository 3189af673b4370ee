// Runs inside the portal page after the profile, preferredGender, autoSubmit and blockerTerms constants.
// Errors are not caught on purpose: the host treats a run without a result as an unsupported portal.
const result = {
    didRun: true,
    blocked: false,
    reason: null,
    filledFields: 0,
    checkedBoxes: 0,
    submitted: false,
    fieldCategories: []
};
const finish = () => {
    window.brewBeaconLastAutofillResult = result;
    return JSON.stringify(result);
};
const block = (reason) => {
    result.blocked = true;
    result.reason = reason;
};
const clean = (value) => (value === null || value === undefined) ? "" : String(value).trim();
const joinParts = (parts) => parts.map(clean).filter((part) => part.length > 0).join(" ");
// Pages written with decomposed accents would otherwise slip past the precomposed terms and patterns.
const fold = (text) => text.normalize("NFC").toLowerCase();
const attribute = (element, name) => element.getAttribute ? element.getAttribute(name) : null;
const typeOf = (element) => clean(element.type).toLowerCase();

const bodyText = document.body ? document.body.innerText : "";
const elementTexts = Array.from(document.querySelectorAll("input, button, label")).map((element) => joinParts([
    element.name, element.id, element.type, element.autocomplete, element.placeholder, element.value,
    element.innerText, attribute(element, "aria-label")
])).filter((text) => text.length > 0);
const pageText = fold(clean(bodyText) + " " + elementTexts.join(" "));

const blocker = blockerTerms.find((term) => pageText.includes(term));
if (blocker !== undefined) {
    block("Needs user action: " + blocker);
    return finish();
}

const isVisible = (element) => {
    if (!element || typeOf(element) === "hidden" || element.disabled || element.readOnly)
        return false;
    const box = element.getBoundingClientRect();
    if (!(box.width > 0 && box.height > 0))
        return false;
    const style = window.getComputedStyle(element);
    return style.visibility !== "hidden" && style.display !== "none";
};

const labelText = (element) => {
    const className = typeof element.className === "string" ? element.className : "";
    const parts = [
        element.name, element.id, element.placeholder, element.value, element.innerText, element.textContent,
        element.title, className, element.autocomplete, attribute(element, "aria-label")
    ];
    if (element.labels)
        for (const label of element.labels)
            parts.push(label.innerText);
    const enclosing = element.parentElement ? element.parentElement.closest("label") : null;
    if (enclosing)
        parts.push(enclosing.innerText);
    return fold(joinParts(parts));
};

const matches = (pattern, exclusion) => (label) => pattern.test(label) && !(exclusion && exclusion.test(label));
const isNameField = matches(
    /(^|[^a-z])(full\s*name|fullname|your\s*name|display\s*name|visitor\s*name|guest\s*name|name|ho\s*ten|họ\s*tên)([^a-z]|$)/i,
    /(wifi|network|ssid|company|business|card|user\s*name|username|email|phone|mobile)/i);
const isFirstNameField = matches(
    /(first\s*name|given\s*name|forename|fname|ten|tên)([^a-z]|$)/i,
    /(last|family|full|user\s*name|username|company|business|email|phone|mobile)/i);
const isLastNameField = matches(
    /(last\s*name|family\s*name|surname|lname|ho|họ)([^a-z]|$)/i,
    /(first|given|full|company|business|email|phone|mobile)/i);
const isEmailField = (element, label) => typeOf(element) === "email" || /(email|e-mail|mail)/i.test(label);
const isPhoneField = (element, label) => typeOf(element) === "tel" ||
    /(phone|mobile|cell|telephone|số\s*điện\s*thoại|so\s*dien\s*thoai|điện\s*thoại|dien\s*thoai)/i.test(label);
const isPostalCodeField = matches(/(zip|postal|postcode|post\s*code|mã\s*bưu\s*chính|ma\s*buu\s*chinh)/i);
const isCompanyField = matches(/(company|business|organization|organisation|workplace|employer|công\s*ty|cong\s*ty)/i);
const isBirthYearField = matches(
    /(birth\s*year|birthyear|year\s*of\s*birth|year_of_birth|dob_year|dob\s*year|born\s*year|year\s*born|nam\s*sinh|năm\s*sinh)/i);
const isBirthMonthField = matches(
    /(birth\s*month|month\s*of\s*birth|dob_month|dob\s*month|month\s*born|tháng\s*sinh|thang\s*sinh)/i);
const isBirthDayField = matches(
    /(birth\s*day|birthday\s*day|day\s*of\s*birth|dob_day|dob\s*day|day\s*born|ngày\s*sinh|ngay\s*sinh)/i);
const isBirthDateField = matches(
    /(date\s*of\s*birth|birth\s*date|birthday|dob|ngày\s*tháng\s*năm\s*sinh|ngay\s*thang\s*nam\s*sinh)/i);
const isTitleField = matches(/(^|[^a-z])(title|salutation|prefix)([^a-z]|$)/i);
const isCountryField = matches(/(^|[^a-z])(country|nation|quốc\s*gia|quoc\s*gia)([^a-z]|$)/i);
const isAgeField = matches(
    /(^|[^a-z])(age|your\s*age|visitor\s*age|guest\s*age|tuoi|tuổi)([^a-z]|$)/i,
    /(page|usage|message|average|storage)/i);
const isTermsField = matches(
    /(terms|condition|acceptable\s*use|wifi\s*policy|wi-fi\s*policy|privacy\s*policy|agree|accept)/i,
    /(newsletter|marketing|promotion|offers|advertising|subscribe|email\s*updates)/i);
const isMaleOption = matches(/(^|[^a-z])(male|man|nam)([^a-z]|$)/i);
const isFemaleOption = matches(/(^|[^a-z])(female|woman|nu|nữ)([^a-z]|$)/i);
const isGenderOption = (label) => isMaleOption(label) || isFemaleOption(label);
const isGenderField = matches(/(^|[^a-z])(gender|sex|giới\s*tính|gioi\s*tinh)([^a-z]|$)/i);
const isPreferredGenderOption = (label) => preferredGender === "female" ? isFemaleOption(label) : isMaleOption(label);
const isLanguageOption = matches(/(^|[^a-z])(vie|eng|english|tiếng\s*việt|tieng\s*viet)([^a-z]|$)/i);
const isHelpOption = matches(/(why|tại\s*sao|tai\s*sao|remind|nhắc\s*tôi|nhac\s*toi|later|sau)/i);
const isPortalActionLabel = matches(
    /(connect|join|continue|start|agree|accept|login|log in|internet|access|confirm|submit|go online|online|xác\s*nhận|xac\s*nhan|tiếp\s*tục|tiep\s*tuc|kết\s*nối|ket\s*noi|truy\s*cập|truy cap)/i);
const actionScore = (label) =>
    (/(kết\s*nối\s*internet|ket\s*noi\s*internet|connect\s*internet|internet\s*access|go\s*online)/i.test(label) ? 10 : 0) +
    (/(connect|kết\s*nối|ket\s*noi|internet|access)/i.test(label) ? 5 : 0) +
    (/(continue|tiếp\s*tục|tiep\s*tuc|confirm|xác\s*nhận|xac\s*nhan|agree|accept)/i.test(label) ? 3 : 0);

const notify = (element) => {
    element.dispatchEvent(new Event("input", { bubbles: true }));
    element.dispatchEvent(new Event("change", { bubbles: true }));
};
const setValue = (element, value) => {
    element.value = value;
    notify(element);
};
const pressLikeUser = (element) => {
    const options = { bubbles: true, cancelable: true, view: window };
    element.dispatchEvent(new MouseEvent("mousedown", options));
    element.dispatchEvent(new MouseEvent("mouseup", options));
    element.click();
};
const selectOption = (select, expected, aliases = []) => {
    const wanted = clean(expected).toLowerCase();
    const alternatives = aliases.map((alias) => clean(alias).toLowerCase());
    const accepts = (text) => text === wanted || alternatives.includes(text);
    const option = Array.from(select.options).find((candidate) =>
        accepts(clean(candidate.value).toLowerCase()) || accepts(clean(candidate.text).toLowerCase()));
    if (!option)
        return false;
    select.value = option.value;
    notify(select);
    return true;
};
const decimal = (text) => {
    const value = parseInt(text, 10);
    return Number.isNaN(value) ? [] : [String(value)];
};

const birthYearNumber = parseInt(profile.birthYear, 10);
const ageValue = (!Number.isNaN(birthYearNumber) && profile.birthYear.length === 4)
    ? String(new Date().getFullYear() - birthYearNumber) : "";
const pad = (text) => text.padStart(2, "0");
const birthDateValue = (profile.birthYear && profile.birthMonth && profile.birthDay)
    ? profile.birthYear + "-" + pad(profile.birthMonth) + "-" + pad(profile.birthDay) : "";

// One gender choice per pass, before the fields.
const genderCandidates = Array.from(document.querySelectorAll(
    "input[type='radio'], input[type='button'], button, [role='button'], a")).filter(isVisible);
const genderTarget = genderCandidates.find((element) => isPreferredGenderOption(labelText(element))) ||
    genderCandidates.find((element) => isGenderOption(labelText(element)));
if (genderTarget) {
    if (typeOf(genderTarget) === "radio") {
        if (!genderTarget.checked) {
            genderTarget.checked = true;
            notify(genderTarget);
            result.checkedBoxes += 1;
        }
    } else {
        pressLikeUser(genderTarget);
        result.checkedBoxes += 1;
    }
}

const fillSelect = (select, label) => {
    if (isBirthYearField(label) && profile.birthYear)
        return selectOption(select, profile.birthYear);
    if (isBirthMonthField(label) && profile.birthMonth)
        return selectOption(select, profile.birthMonth,
            [...decimal(profile.birthMonth), "jan", "january", "tháng 1", "thang 1"]);
    if (isBirthDayField(label) && profile.birthDay)
        return selectOption(select, profile.birthDay, decimal(profile.birthDay));
    if ((isGenderField(label) || isGenderOption(label)) && preferredGender)
        return selectOption(select, preferredGender,
            preferredGender === "female" ? ["f", "woman", "nu", "nữ"] : ["m", "man", "nam"]);
    if (isCountryField(label))
        return selectOption(select, "Vietnam", ["vn", "viet nam", "việt nam"]);
    if (isTitleField(label))
        return selectOption(select, "Ms", ["mrs", "miss"]);
    return false;
};

const textTypes = ["text", "search", ""];
const numericTypes = ["text", "number", "tel", ""];
const fillRules = [
    { types: textTypes, textArea: true, value: profile.firstName, test: isFirstNameField },
    { types: textTypes, textArea: true, value: profile.lastName, test: isLastNameField },
    { types: textTypes, textArea: true, value: profile.fullName, test: isNameField },
    { types: ["email", "text", "search", ""], value: profile.emailAddress, test: (label, element) => isEmailField(element, label) },
    { types: ["tel", "text", "number", ""], value: profile.phoneNumber, test: (label, element) => isPhoneField(element, label) },
    { types: numericTypes, value: profile.postalCode, test: isPostalCodeField },
    { types: textTypes, textArea: true, value: profile.company, test: isCompanyField },
    { types: numericTypes, value: profile.birthYear, test: isBirthYearField },
    { types: numericTypes, value: profile.birthMonth, test: isBirthMonthField },
    { types: numericTypes, value: profile.birthDay, test: isBirthDayField },
    { types: ["date", "text"], value: birthDateValue, test: isBirthDateField },
    { types: numericTypes, value: ageValue, test: isAgeField }
];

const inputs = Array.from(document.querySelectorAll("input, textarea, select")).filter(isVisible);
for (const element of inputs) {
    const label = labelText(element);
    const tag = element.tagName.toLowerCase();
    if (tag === "select") {
        if (fillSelect(element, label))
            result.filledFields += 1;
        continue;
    }
    const type = typeOf(element);
    const isTextArea = tag === "textarea";
    const rule = fillRules.find((candidate) =>
        (candidate.types.includes(type) || (candidate.textArea === true && isTextArea)) &&
        candidate.value && candidate.test(label, element));
    if (rule) {
        setValue(element, rule.value);
        result.filledFields += 1;
    } else if (type === "checkbox" && !element.checked && isTermsField(label)) {
        element.checked = true;
        notify(element);
        result.checkedBoxes += 1;
    }
}

const trySubmit = (reason) => {
    if (!autoSubmit)
        return false;
    const candidates = Array.from(document.querySelectorAll(
        "button, input[type='submit'], input[type='button'], a, [role='button'], [onclick], " +
        "[class*='btn'], [class*='button'], [class*='connect'], [class*='submit']"))
        .filter((element) => isVisible(element) && !element.closest("select"))
        .map((element) => ({ element, label: labelText(element) }))
        .filter(({ label }) => !isGenderOption(label) && !isLanguageOption(label) && !isHelpOption(label))
        .filter(({ element, label }) => isPortalActionLabel(label) || typeOf(element) === "submit")
        .map((candidate) => ({ ...candidate, score: actionScore(candidate.label) }));
    // Array sort is stable, so equal scores keep document order.
    candidates.sort((a, b) => b.score - a.score);
    if (candidates.length === 0 || candidates[0].score === 0)
        return false;
    if (candidates.filter((candidate) => candidate.score === candidates[0].score).length > 1) {
        block("Needs user action: multiple submit buttons");
        return false;
    }
    const best = candidates[0];
    const actionLabel = best.label || "submit";
    const actionURL = window.location.href;
    const now = Date.now();
    const last = window.brewBeaconLastPortalAction;
    if (last && last.label === actionLabel && last.url === actionURL && now - (Number(last.time) || 0) < 6000) {
        block("Waiting for the portal next step.");
        return false;
    }
    window.brewBeaconLastPortalAction = { label: actionLabel, url: actionURL, time: now };
    pressLikeUser(best.element);
    result.submitted = true;
    if (reason)
        result.reason = reason;
    return true;
};

const isChoice = (element) => ["hidden", "checkbox", "radio"].includes(typeOf(element));
const requiredEmpty = inputs.filter((element) => element.required && !isChoice(element) && clean(element.value) === "");
if (requiredEmpty.length > 0) {
    if (trySubmit("Tried submit so the portal can show the exact required fields."))
        block("Needs user action: portal still has a required field");
    else
        block("Needs user action: required field");
    return finish();
}

const categoryTests = [
    ["first_name", (label) => isFirstNameField(label)],
    ["last_name", (label) => isLastNameField(label)],
    ["full_name", (label) => isNameField(label)],
    ["email", (label, element) => isEmailField(element, label)],
    ["phone", (label, element) => isPhoneField(element, label)],
    ["postal_code", (label) => isPostalCodeField(label)],
    ["company", (label) => isCompanyField(label)],
    ["birth_year", (label) => isBirthYearField(label)],
    ["birth_month", (label) => isBirthMonthField(label)],
    ["birth_day", (label) => isBirthDayField(label)],
    ["birth_date", (label) => isBirthDateField(label)],
    ["age", (label) => isAgeField(label)]
];
const record = (category) => {
    if (!result.fieldCategories.includes(category))
        result.fieldCategories.push(category);
};
const identityQuestions = inputs.filter((element) => !isChoice(element))
    .map((element) => ({ element, label: labelText(element) }))
    .map((question) => ({ ...question, test: categoryTests.find(([, test]) => test(question.label, question.element)) }))
    .filter((question) => question.test !== undefined);
for (const question of identityQuestions)
    if (clean(question.element.value) !== "")
        record(question.test[0]);
if (inputs.some((element) => typeOf(element) === "checkbox" && element.checked && isTermsField(labelText(element))))
    record("terms");
if (inputs.some((element) => {
    const label = labelText(element);
    return (isGenderField(label) || isGenderOption(label)) && (element.checked || clean(element.value) !== "");
}))
    record("gender");
if (identityQuestions.some((question) => clean(question.element.value) === "")) {
    block("Needs user action: identity field");
    return finish();
}

if (autoSubmit)
    trySubmit(null);
if (!result.submitted && result.filledFields === 0 && result.checkedBoxes === 0)
    block("Needs user action: BrewBeacon could not find a supported field on this portal");
return finish();
