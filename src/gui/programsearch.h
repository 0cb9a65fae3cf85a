#pragma once
// Search and replace across the whole program: the header and every section, with the find
// dialog's text and options. The hits go to the results window, tagged as the compiler tags
// places, so that it opens them as the message list does.

class TProgramForm;

class TProgramSearch
{
public:
    // The find dialog for the text shown, with the editor's one-line selection.
    static void ShowFindInText(TProgramForm &form);
    // The find dialog for the whole program, with the editor's one-line selection.
    static void ShowFind(TProgramForm &form);
    // The number of places found; the results window shows them.
    static int Find(TProgramForm &form);
    // The number of places replaced, after the question.
    static int Replace(TProgramForm &form);
    // The search again while its results are shown: after a replace, a deletion, a new program.
    static void Refresh(TProgramForm &form);
};
